#include "platform/foundation/Diagnostics.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace foundation {

namespace {

void writeLine(std::FILE* stream, std::string_view line) {
    std::string text(line);
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

// The one process-wide choice of where diagnostics go. Lines are handed
// over under the lock, so a replaced sink is never called after
// setDiagnosticSink returns (a sink may capture what its setter owns).
struct SinkSetting {
    std::mutex mutex;
    DiagnosticSink sink;
};

SinkSetting& sinkSetting() {
    static SinkSetting setting;
    return setting;
}

} // namespace

void diagnostic(std::string_view line) {
    SinkSetting& setting = sinkSetting();
    const std::lock_guard lock(setting.mutex);
    if (setting.sink)
        setting.sink(line);
    else
        writeLine(stdout, line);
}

DiagnosticSink setDiagnosticSink(DiagnosticSink sink) {
    SinkSetting& setting = sinkSetting();
    const std::lock_guard lock(setting.mutex);
    return std::exchange(setting.sink, std::move(sink));
}

DiagnosticSink diagnosticStream(std::FILE* stream) {
    return [stream](std::string_view line) { writeLine(stream, line); };
}

DiagnosticSink withoutRepeats(DiagnosticSink sink) {
    if (!sink) sink = diagnosticStream(stdout);
    // Sinks are called one line at a time, under the setting's lock.
    auto last = std::make_shared<std::optional<std::string>>();
    return [sink = std::move(sink), last](std::string_view line) {
        if (*last == line) return;
        last->emplace(line);
        sink(line);
    };
}

} // namespace foundation
