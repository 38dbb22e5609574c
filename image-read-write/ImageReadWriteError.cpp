#include "image-read-write/ImageReadWriteError.h"

const char* imageReadWriteErrorName(ImageReadWriteError error) noexcept {
    switch (error) {
    case ImageReadWriteError::cannotCreateImageOfType: return "cannotCreateImageOfType";
    case ImageReadWriteError::unsupportedEmbeddedImageType: return "unsupportedEmbeddedImageType";
    case ImageReadWriteError::cannotLoadImageNamed: return "cannotLoadImageNamed";
    case ImageReadWriteError::unableToDecodeImage: return "unableToDecodeImage";
    case ImageReadWriteError::invalidDPI: return "invalidDPI";
    case ImageReadWriteError::cannotCreatePDFContext: return "cannotCreatePDFContext";
    case ImageReadWriteError::cannotCreateCGImage: return "cannotCreateCGImage";
    case ImageReadWriteError::codableInvalidData: return "codableInvalidData";
    case ImageReadWriteError::codableInvalidImage: return "codableInvalidImage";
    case ImageReadWriteError::cannotConvertCGImageToPlatformImage: return "cannotConvertCGImageToPlatformImage";
    case ImageReadWriteError::internalError: return "internalError";
    case ImageReadWriteError::cannotConvertColorspace: return "cannotConvertColorspace";
    }
    return "unknown";
}

ImageReadWriteException::ImageReadWriteException(ImageReadWriteError code, std::string text)
    : code_(code), text_(std::move(text)) {
    what_ = std::string("ImageReadWriteError.") + imageReadWriteErrorName(code);
    if (!text_.empty()) what_ += "(\"" + text_ + "\")";
}
