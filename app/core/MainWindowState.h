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
    // Used on the main thread only; work on other threads takes copies.
    const ShapeLists shapes;

    // The text of the stored kind of message and the fields.
    std::string messageText() const;

    // A new document from the current message and keys, null when there is
    // no message or it does not fit. It holds the generators of `shapes`:
    // copy it (QRCode::Document::copyDocument) before rendering it on
    // another thread.
    QRCode::DocumentPtr makeDocument() const;
    // The document rendered at 1024 x 1024, or null.
    gfx::ImagePtr makeQRImage() const;
};

} // namespace Tessivo
