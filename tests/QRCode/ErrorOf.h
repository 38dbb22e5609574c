#pragma once

#include "QRCode/QRCodeError.h"

#include <gtest/gtest.h>

#include <functional>

namespace qrcodetest {

// The code of the QRCodeException that `f` throws; a test failure when it
// throws none.
inline QRCode::QRCodeError errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const QRCode::QRCodeException& e) {
        return e.code();
    }
    ADD_FAILURE() << "no QRCodeException";
    return QRCode::QRCodeError::cannotGenerateQRCode;
}

} // namespace qrcodetest
