#pragma once

#include <exception>
#include <string>

// The errors of the image read/write module, in their fixed order.
enum class ImageReadWriteError : int {
    cannotCreateImageOfType = 0,      // text: the type identifier
    unsupportedEmbeddedImageType = 1, // text: the media type
    cannotLoadImageNamed = 2,         // text: the name
    unableToDecodeImage = 3,
    invalidDPI = 4,
    cannotCreatePDFContext = 5,
    cannotCreateCGImage = 6,
    codableInvalidData = 7,
    codableInvalidImage = 8,
    cannotConvertCGImageToPlatformImage = 9,
    internalError = 10,
    cannotConvertColorspace = 11,
};

// The case's name, e.g. "invalidDPI".
const char* imageReadWriteErrorName(ImageReadWriteError error) noexcept;

class ImageReadWriteException : public std::exception {
public:
    explicit ImageReadWriteException(ImageReadWriteError code, std::string text = {});

    ImageReadWriteError code() const noexcept { return code_; }
    // The case's associated text (type identifier, media type or image name);
    // empty for the cases that carry none.
    const std::string& text() const noexcept { return text_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    ImageReadWriteError code_;
    std::string text_;
    std::string what_;
};
