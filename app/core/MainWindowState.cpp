#include "app/core/MainWindowState.h"

#include "app/core/SettingsKeys.h"

namespace Tessivo {

std::string MainWindowState::messageText() const { return Tessivo::messageText(Keys::messageType().get(), fields); }

QRCode::DocumentPtr MainWindowState::makeDocument() const {
    return Tessivo::makeDocument(messageText(), DesignValues::fromSettings(), logo, shapes);
}

gfx::ImagePtr MainWindowState::makeQRImage() const {
    return Tessivo::makeQRImage(messageText(), DesignValues::fromSettings(), logo, shapes);
}

} // namespace Tessivo
