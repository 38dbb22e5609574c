// Document JSON as a user might open it: loaded, then rendered small as a
// bitmap, a PDF and SVG, and written back as JSON.
#include "QRCode/Document.h"
#include "QRCode/QRCodeError.h"
#include "image-read-write/ImageReadWriteError.h"
#include "platform/foundation/Json.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QRCode::Document document;
    try {
        document.loadJsonData(std::span<const std::uint8_t>(data, size));
    } catch (const nlohmann::json::exception&) {
        return 0;
    } catch (const QRCode::DocumentError&) {
        return 0;
    } catch (const QRCode::QRCodeException&) {
        // The content does not encode; the document still renders its state.
    }
    try {
        (void)document.pngData(48, 72);
        (void)document.pdfData(48, 72);
        (void)document.svgData(48);
        (void)document.jsonData(false);
    } catch (const QRCode::QRCodeException&) {
    } catch (const ImageReadWriteException&) {
    } catch (const foundation::JsonError&) {
    }
    return 0;
}
