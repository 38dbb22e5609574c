#pragma once

#include "platform/foundation/Diagnostics.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

// Collects the diagnostic lines written while it lives, in place of the
// sink that was set before, which it puts back at the end. Read lines() only
// once no other thread writes diagnostics.
class CapturedDiagnostics {
public:
    CapturedDiagnostics()
        : previous_(foundation::setDiagnosticSink([this](std::string_view line) { lines_.emplace_back(line); })) {}
    ~CapturedDiagnostics() { foundation::setDiagnosticSink(std::move(previous_)); }
    CapturedDiagnostics(const CapturedDiagnostics&) = delete;
    CapturedDiagnostics& operator=(const CapturedDiagnostics&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    foundation::DiagnosticSink previous_;
};

} // namespace testsupport
