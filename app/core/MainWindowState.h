#pragma once

// What the main window holds besides its settings keys: the message fields,
// the logo and the three shape lists. The design itself is read from the
// keys on every call, so nothing derived from it is kept.

#include "app/core/DocumentBuilder.h"
#include "app/core/MessageText.h"
#include "app/core/ShapeLists.h"

#include <string>

namespace Tessivo {

class MainWindowState {
public:
    MessageFields fields;
    LogoOptions logo;
    // Used by the preview on the main thread. Documents for other threads
    // are made by makeDocumentForBackground().
    const ShapeLists shapes;

    // The text of the stored kind of message and the fields.
    std::string messageText() const;

    // A new document from the current message and keys, with generators of
    // its own, safe to render on another thread while the preview renders;
    // null when there is no message or it does not fit.
    QRCode::DocumentPtr makeDocumentForBackground() const;
    // The document rendered at 1024 x 1024, or null.
    gfx::ImagePtr makeQRImage() const;
};

} // namespace Tessivo
