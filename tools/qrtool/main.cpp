// qrtool: a thin command-line harness over the library, used by tests,
// benchmarks and visual checks.
#include "QRCode/Document.h"
#include "QRCode/QRCode.h"
#include "QRCode/QRCodeError.h"
#include "QRCode/fills/ImageFill.h"
#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageReadWriteError.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Diagnostics.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/NumberParse.h"
#include "platform/foundation/NumberText.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using QRCode::QRCodeError;
using QRCode::QRCodeException;

namespace {

constexpr const char* kUsage =
    "usage: qrtool <command> [options]\n"
    "\n"
    "commands:\n"
    "  encode [--engine coreimage|external] [--level L|M|Q|H] [--small] (TEXT | --file PATH)\n"
    "            print the symbol of TEXT (or of the bytes of PATH) as text art;\n"
    "            defaults: engine coreimage, level Q, full-size art\n"
    "  render [--document FILE] [--text TEXT | --file PATH] [--level L|M|Q|H]\n"
    "         [--engine coreimage|external] [--size PX] [--dpi N] [--json -] -o OUTPUT\n"
    "            render a document (loaded from its .qrjcode JSON, else a default\n"
    "            one) whose content TEXT or the bytes of PATH replace; OUTPUT's\n"
    "            extension picks the format: png, jpg, tiff, gif, heic, pdf, svg,\n"
    "            txt (text art); --json - prints the document's formatted JSON\n"
    "            once the output is written; defaults: size 1024 (1 to 16384),\n"
    "            dpi 72 (1 to 100000; for jpg and png one the file records\n"
    "            within 1%); --file reads at most 1 MiB, --document at most 64 MiB\n"
    "  --help    show this text\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "qrtool: %s\n", message.c_str());
    return 1;
}

// Input files are read up to a size cap, so that an endless source (a pipe,
// /dev/zero) ends in an error instead of exhausting memory. A message file
// only needs what a symbol can hold (under 3 KB); a document carries its
// images as base64 text, which the image caps keep far below 64 MiB.
constexpr std::size_t kMaxMessageFileSize = std::size_t(1) << 20;
constexpr std::size_t kMaxDocumentFileSize = std::size_t(64) << 20;

std::optional<std::vector<std::uint8_t>> readBytes(const std::string& path, std::size_t cap, std::string& error) {
    error = "cannot read '" + path + "'";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error += std::string(": ") + std::strerror(errno);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error += ": it is a folder";
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 65536> buffer;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            error += std::string(": ") + std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        if (bytes.size() + std::size_t(n) > cap) {
            ::close(fd);
            error = "'" + path + "' is larger than " + std::to_string(cap >> 20) + " MiB";
            return std::nullopt;
        }
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + n);
    }
    ::close(fd);
    return bytes;
}

int encode(const std::vector<std::string_view>& args) {
    std::string engineName = "coreimage";
    QRCode::ErrorCorrection level = QRCode::ErrorCorrection::quartile;
    bool small = false;
    std::optional<std::string> text;
    std::optional<std::string> filePath;

    // Every option may be given once, as in render.
    std::vector<std::string_view> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return std::string(args[++i]);
        };
        if (arg.starts_with("--")) {
            if (std::find(seen.begin(), seen.end(), arg) != seen.end())
                return fail("'" + std::string(arg) + "' may be given only once");
            seen.push_back(arg);
        }
        if (arg == "--engine") {
            const auto v = value();
            if (!v) return fail("--engine needs a value (coreimage or external)");
            engineName = *v;
        } else if (arg == "--level") {
            const auto v = value();
            if (!v || v->size() != 1 || std::string_view("LMQH").find((*v)[0]) == std::string_view::npos)
                return fail("--level needs one of L, M, Q, H");
            level = *QRCode::errorCorrectionFromCharacter((*v)[0]);
        } else if (arg == "--small") {
            small = true;
        } else if (arg == "--file") {
            const auto v = value();
            if (!v) return fail("--file needs a path");
            filePath = *v;
        } else if (arg.size() > 1 && arg.substr(0, 2) == "--") {
            return fail("unknown option '" + std::string(arg) + "' (see qrtool --help)");
        } else {
            if (text) return fail("only one message may be given (quote text with spaces)");
            text = std::string(arg);
        }
    }
    if (text.has_value() == filePath.has_value()) return fail("encode needs exactly one of TEXT or --file PATH");

    std::shared_ptr<QRCode::QRCodeEngine> engine;
    for (auto& candidate : QRCode::QRCode::QRCodeAvailableEngines())
        if (candidate->name() == engineName) engine = candidate;
    if (!engine) return fail("unknown engine '" + engineName + "' (coreimage or external)");

    try {
        std::optional<QRCode::QRCode> code;
        if (filePath) {
            std::string error;
            const auto bytes = readBytes(*filePath, kMaxMessageFileSize, error);
            if (!bytes) return fail(error);
            code.emplace(std::span<const std::uint8_t>(*bytes), level, engine);
        } else {
            code.emplace(std::string_view(*text), level, engine);
        }
        const std::string art = small ? code->smallAsciiRepresentation() : code->asciiRepresentation();
        std::fwrite(art.data(), 1, art.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    } catch (const QRCodeException& e) {
        if (e.code() == QRCodeError::unableToConvertTextToRequestedEncoding) return fail("the text is not valid UTF-8");
        return fail(std::string("the message does not fit in a symbol at this level (") + e.what() + ")");
    }
}

// ---- render ----

// Every signal sent from outside whose default action ends the process
// (SIGKILL cannot be held; faults of the tool itself are left to their
// default).
sigset_t terminatingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM,
                  SIGPROF, SIGPOLL, SIGPWR})
        sigaddset(&set, s);
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) sigaddset(&set, s);
    return set;
}

// Holds the terminating signals back while it lives: one that comes while
// the output is written takes effect once the output is in place or gone,
// so that no temporary file outlives the tool. A file-size limit's SIGXFSZ
// waits too; the write fails with EFBIG first.
class SignalsHeld {
public:
    SignalsHeld() {
        const sigset_t set = terminatingSignals();
        ::sigprocmask(SIG_BLOCK, &set, &saved_);
    }
    ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &saved_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t saved_;
};

// Why `path` cannot be an output, or nothing: an output is replaced by a new
// regular file, so it must be one already (or a link to one), or not exist.
// A device, a pipe or a folder, or a link to one, is refused rather than
// replaced.
std::optional<std::string> unfitOutput(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt; // a new file (or a link to where one will be)
        return "cannot write '" + path + "': " + std::strerror(errno);
    }
    if (S_ISREG(st.st_mode)) return std::nullopt;
    const char* what = S_ISDIR(st.st_mode)                          ? "a folder"
                       : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                       : S_ISFIFO(st.st_mode)                       ? "a pipe"
                       : S_ISSOCK(st.st_mode)                       ? "a socket"
                                                                    : "not a regular file";
    return "cannot write '" + path + "': it is " + what + ", not a regular file";
}

// Replaces `path` (or the file a symbolic link `path` leads to) with
// `bytes` as a whole: a failure leaves no partial output and an existing
// file as it was, and a replaced file keeps its permissions.
bool writeOutput(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error) {
    if (const auto unfit = unfitOutput(path)) {
        error = *unfit;
        return false;
    }
    std::error_code failure;
    {
        const SignalsHeld held;
        failure = foundation::writeFileAtomically(path, bytes);
    }
    if (failure) error = "cannot write '" + path + "': " + failure.message();
    return !failure;
}

// Drops the library's diagnostics while it lives: the document reports
// passing regeneration failures while it loads, and the tool reports the
// final state itself in one line on standard error.
class SilencedDiagnostics {
public:
    SilencedDiagnostics() : saved_(foundation::setDiagnosticSink([](std::string_view) {})) {}
    ~SilencedDiagnostics() { foundation::setDiagnosticSink(std::move(saved_)); }
    SilencedDiagnostics(const SilencedDiagnostics&) = delete;
    SilencedDiagnostics& operator=(const SilencedDiagnostics&) = delete;

private:
    foundation::DiagnosticSink saved_;
};

// Digits, and at most one point with digits after it: no sign, exponent,
// hexadecimal or words (inf, nan).
bool isPlainDecimal(std::string_view text) {
    const auto point = text.find('.');
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return point == std::string_view::npos ? digits(text)
                                           : digits(text.substr(0, point)) && digits(text.substr(point + 1));
}

constexpr double kMinDpi = 1;
constexpr double kMaxDpi = 100000;

// The library keeps a document usable when its logo or a fill image cannot
// be decoded (the logo is left out, the fill falls back); the tool says so
// on standard error rather than render without a word. What was dropped is
// read off the loaded document, whose loading decoded each picture once:
// an image fill in the JSON that did not become an image fill fell back.
// `tree` is the JSON the document was loaded from.
void warnAboutDroppedImages(const nlohmann::json& tree, const QRCode::Document& document, const std::string& path) {
    if (const auto* logo = foundation::settingEntry(tree, "logoTemplate");
        logo && logo->is_object() && !document.logoTemplate()) {
        std::fprintf(stderr, "qrtool: warning: the logo in '%s' cannot be read; rendering without it\n", path.c_str());
    }
    const auto* design = foundation::settingEntry(tree, "design");
    const auto* style = design && design->is_object() ? foundation::settingEntry(*design, "style") : nullptr;
    if (!style || !style->is_object()) return;
    const QRCode::Style& loaded = *document.design()->style();
    const std::pair<const char*, const QRCode::QRCodeFillStylePtr*> fills[] = {
        {"onPixels", &loaded.onPixels()}, {"offPixels", &loaded.offPixels()},   {"eye", &loaded.eye()},
        {"pupil", &loaded.pupil()},       {"background", &loaded.background()},
    };
    for (const auto& [key, fill] : fills) {
        const auto* stored = foundation::settingEntry(*style, key);
        if (stored && stored->is_object() &&
            foundation::settingString(*stored, "type") == QRCode::FillStyle::Image::Name &&
            !std::dynamic_pointer_cast<QRCode::FillStyle::Image>(*fill)) {
            std::fprintf(stderr, "qrtool: warning: a fill image in '%s' cannot be read; that fill falls back\n",
                         path.c_str());
            return;
        }
    }
}

// Why a PDF of `size` pixels at `dpi` cannot be made, or nothing: its page
// is size x 72 / dpi points a side, and the library refuses pages larger
// than any paper. Says which resolution would do.
std::optional<std::string> pdfPageProblem(std::int64_t size, double dpi) {
    const double side = double(size) * 72 / dpi;
    constexpr double kMaxSide = QRCode::QRCode::kMaxPDFPageSide;
    if (side <= kMaxSide) return std::nullopt;
    // The least resolution in hundredths that keeps the page within bounds.
    double least = std::ceil(double(size) * 72 / kMaxSide * 100) / 100;
    while (double(size) * 72 / least > kMaxSide) least += 0.01;
    return "a PDF of " + std::to_string(size) + " pixels at " + foundation::fixedNumberText(dpi, 6) +
           " dpi would have a page of " + foundation::fixedNumberText(side, 0) + " points a side (" +
           foundation::fixedNumberText(side / 72 * 0.0254, 0) + " m); pages are at most " +
           foundation::fixedNumberText(kMaxSide, 0) + " points a side: use --dpi " +
           foundation::fixedNumberText(least, 2) + " or more, or a smaller --size";
}

// Why a file of the format of `extension` cannot record `dpi` (given as
// `dpiText`) within a percent, or nothing. A JPEG's header holds whole dots
// per inch in 16 bits and a PNG's whole pixels per metre, and their encoders
// round to the nearest one they hold; the other formats hold `dpi` closely
// (TIFF a float, HEIC hundredths, a PDF its page size) or no resolution at
// all (GIF, SVG, text art). Says which resolutions would do.
std::optional<std::string> resolutionProblem(const std::string& extension, double dpi, const std::string& dpiText) {
    struct WholeUnits {
        const char* format;
        const char* units; // what the file holds
        double unitDpi;    // one unit in dots per inch
        double maxUnits;
    };
    static constexpr WholeUnits jpeg{"a JPEG", "whole dots per inch from 1 to 65535", 1, 65535};
    static constexpr WholeUnits png{"a PNG", "whole pixels per metre (0.0254 dpi each)", 0.0254, 2147483647};
    const WholeUnits* field = extension == ".jpg" ? &jpeg : extension == ".png" ? &png : nullptr;
    if (!field) return std::nullopt;
    const double units = dpi / field->unitDpi;
    // What the encoder writes: the nearest unit, held within the field.
    const double recorded = std::clamp(std::round(units), 1.0, field->maxUnits);
    if (std::abs(recorded * field->unitDpi - dpi) <= dpi / 100) return std::nullopt;
    const std::string intro =
        std::string(field->format) + " records its resolution in " + field->units + ": --dpi " + dpiText;
    if (units > field->maxUnits)
        return intro + " is beyond that; use --dpi " +
               foundation::fixedNumberText(field->maxUnits * field->unitDpi, 4) + " or less";
    // The recordable resolutions on either side that --dpi accepts.
    std::string fits;
    for (const double candidate : {std::floor(units), std::ceil(units)}) {
        const double fit = candidate * field->unitDpi;
        if (candidate < 1 || fit < kMinDpi || fit > kMaxDpi) continue;
        fits += (fits.empty() ? "" : " or ") + foundation::fixedNumberText(fit, 4);
    }
    return intro + " is not within 1% of one; use --dpi " + fits;
}

std::string levelName(QRCode::ErrorCorrection level) { return std::string(QRCode::errorCorrectionLetter(level)); }

std::string engineErrorText(const QRCodeException& e, QRCode::ErrorCorrection level) {
    if (e.code() == QRCodeError::unableToConvertTextToRequestedEncoding) return "the text is not valid UTF-8";
    return "the message does not fit in a symbol at level " + levelName(level) + " (" + e.what() + ")";
}

int render(const std::vector<std::string_view>& args) {
    std::optional<std::string> documentPath, text, filePath, engineName, output, jsonTarget;
    // Every option may be given once; these hold the text of the ones parsed below.
    std::optional<std::string> levelText, sizeText, dpiText;
    std::optional<QRCode::ErrorCorrection> level;
    std::int64_t size = 1024;
    double dpi = 72;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&](std::optional<std::string>& slot, const char* what) -> std::optional<std::string> {
            if (i + 1 >= args.size()) return "'" + std::string(arg) + "' needs " + what;
            if (slot) return "'" + std::string(arg) + "' may be given only once";
            slot = std::string(args[++i]);
            return std::nullopt;
        };
        std::optional<std::string> problem;
        if (arg == "--document") {
            problem = value(documentPath, "a file");
        } else if (arg == "--text") {
            problem = value(text, "a text");
        } else if (arg == "--file") {
            problem = value(filePath, "a path");
        } else if (arg == "--engine") {
            problem = value(engineName, "coreimage or external");
        } else if (arg == "-o" || arg == "--output") {
            problem = value(output, "an output file");
        } else if (arg == "--json") {
            problem = value(jsonTarget, "'-'");
            if (!problem && *jsonTarget != "-") problem = "--json takes only '-' (standard output)";
        } else if (arg == "--level") {
            problem = value(levelText, "one of L, M, Q, H");
            if (!problem) {
                if (levelText->size() != 1 || std::string_view("LMQH").find((*levelText)[0]) == std::string_view::npos)
                    problem = "--level needs one of L, M, Q, H";
                else
                    level = QRCode::errorCorrectionFromCharacter((*levelText)[0]);
            }
        } else if (arg == "--size") {
            problem = value(sizeText, "a size in pixels");
            if (!problem) {
                const auto parsed = foundation::parseInt64(*sizeText);
                if (!parsed || *parsed < 1 || *parsed > 16384)
                    problem = "--size needs a whole number of pixels from 1 to 16384";
                else
                    size = *parsed;
            }
        } else if (arg == "--dpi") {
            problem = value(dpiText, "a resolution");
            if (!problem) {
                // Plain decimal notation only (digits with at most one
                // point; no sign, no exponent); the range keeps the
                // resolution fields of TIFF and HEIC within a percent and a
                // PDF page within what viewers open (JPEG and PNG hold less:
                // see resolutionProblem).
                const auto parsed = isPlainDecimal(*dpiText) ? foundation::parseDouble(*dpiText) : std::nullopt;
                if (!parsed || !(*parsed >= kMinDpi && *parsed <= kMaxDpi))
                    problem = "--dpi needs a decimal number from 1 to 100000, such as 300 or 72.5";
                else
                    dpi = *parsed;
            }
        } else {
            problem = "unknown argument '" + std::string(arg) + "' (see qrtool --help)";
        }
        if (problem) return fail(*problem);
    }
    if (text && filePath) return fail("give either --text or --file, not both");
    if (!output && !jsonTarget) return fail("render needs -o OUTPUT (or --json -)");

    // The output format, from the extension.
    std::string extension;
    if (output) {
        extension = std::filesystem::path(*output).extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension == ".jpeg") extension = ".jpg";
        if (extension == ".tif") extension = ".tiff";
        static constexpr std::string_view known[] = {".png", ".jpg", ".tiff", ".gif", ".heic", ".pdf", ".svg", ".txt"};
        if (std::find(std::begin(known), std::end(known), extension) == std::end(known))
            return fail("cannot tell the format of '" + *output +
                        "' (use .png, .jpg, .tiff, .gif, .heic, .pdf, .svg or .txt)");
    }

    // Checked before the work of rendering (the output also when writing).
    if (output) {
        if (const auto unfit = unfitOutput(*output)) return fail(*unfit);
        if (extension == ".pdf")
            if (const auto problem = pdfPageProblem(size, dpi)) return fail(*problem);
        if (const auto problem = resolutionProblem(extension, dpi, dpiText.value_or("72"))) return fail(*problem);
    }

    std::shared_ptr<QRCode::QRCodeEngine> engine;
    if (engineName) {
        for (auto& candidate : QRCode::QRCode::QRCodeAvailableEngines())
            if (candidate->name() == *engineName) engine = candidate;
        if (!engine) return fail("unknown engine '" + *engineName + "' (coreimage or external)");
    }

    std::optional<std::vector<std::uint8_t>> fileBytes;
    if (filePath) {
        std::string error;
        fileBytes = readBytes(*filePath, kMaxMessageFileSize, error);
        if (!fileBytes) return fail(error);
    }

    std::shared_ptr<QRCode::Document> document;
    try {
        const SilencedDiagnostics silence;
        document = std::make_shared<QRCode::Document>(engine);
        if (documentPath) {
            std::string error;
            const auto json = readBytes(*documentPath, kMaxDocumentFileSize, error);
            if (!json) return fail(error);
            try {
                // Parsed once for the document and its warnings (a document
                // may be 64 MiB); the top level must be an object, as
                // Document::loadJsonData demands.
                const nlohmann::json tree = foundation::parseJson(*json);
                if (!tree.is_object()) throw QRCode::DocumentError("QRCodeDocument", -1, "Unable to decode object");
                document->load(tree);
                warnAboutDroppedImages(tree, *document, *documentPath);
            } catch (const QRCodeException&) {
                // The document's own content does not encode; what counts is
                // the final state, checked below.
            } catch (const QRCode::DocumentError& e) {
                return fail("'" + *documentPath + "' is not a document: " + e.what());
            } catch (const nlohmann::json::exception& e) {
                return fail("'" + *documentPath + "' is not valid JSON: " + e.what());
            }
        }
        if (text) document->setContent(QRCode::Content::text(*text));
        if (fileBytes) document->setContent(QRCode::Content::data(std::move(*fileBytes)));
        if (level) document->setErrorCorrection(*level);
    } catch (const QRCodeException& e) {
        return fail(engineErrorText(e, level.value_or(QRCode::defaultErrorCorrection)));
    }

    if (!document->isMatrixCurrent()) {
        // The precise reason, from a throw-away holder of the same state.
        try {
            QRCode::QRCode probe;
            probe.setEngine(document->engine());
            probe.update(document->content(), document->errorCorrection());
        } catch (const QRCodeException& e) {
            return fail(engineErrorText(e, document->errorCorrection()));
        }
        return fail("the document cannot be encoded");
    }

    // The JSON is made first and printed last, once the output is written:
    // a command that fails prints nothing on standard output.
    std::string json;
    if (jsonTarget) {
        try {
            json = document->jsonStringFormatted() + "\n";
        } catch (const std::exception& e) {
            return fail(std::string("cannot write the document's JSON: ") + e.what());
        }
    }
    const auto printJson = [&] {
        if (!jsonTarget) return 0;
        std::fwrite(json.data(), 1, json.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : fail("cannot write to standard output");
    };
    if (!output) return printJson();

    std::vector<std::uint8_t> bytes;
    try {
        if (extension == ".png") {
            bytes = document->pngData(size, dpi);
        } else if (extension == ".jpg") {
            bytes = document->jpegData(size, dpi, 0.9);
        } else if (extension == ".tiff") {
            bytes = document->tiffData(size, dpi);
        } else if (extension == ".pdf") {
            bytes = document->pdfData(size, dpi);
        } else if (extension == ".svg") {
            bytes = document->svgData(size);
        } else if (extension == ".txt") {
            const std::string art = document->asciiRepresentation();
            bytes.assign(art.begin(), art.end());
        } else {
            const gfx::ImagePtr image = document->cgImage(size);
            const char* type = extension == ".gif" ? ImageTypeIdentifier::gif : ImageTypeIdentifier::heic;
            bytes = ImageReadWrite::bitmapImageData(*image, type, dpi, std::nullopt, false);
        }
    } catch (const QRCodeException& e) {
        return fail(std::string("cannot render ") + extension.substr(1) + ": " + e.what());
    } catch (const ImageReadWriteException& e) {
        return fail(std::string("cannot encode ") + extension.substr(1) + ": " + e.what());
    } catch (const std::exception& e) {
        return fail(std::string("cannot render ") + extension.substr(1) + ": " + e.what());
    }

    std::string error;
    if (!writeOutput(*output, bytes, error)) return fail(error);
    return printJson();
}

int run(const std::vector<std::string_view>& args) {
    // Asked for, the usage is the output; without a command it is an error.
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args[0] == "encode") return encode({args.begin() + 1, args.end()});
    if (args[0] == "render") return render({args.begin() + 1, args.end()});
    std::fprintf(stderr, "qrtool: unknown command '%.*s' (see qrtool --help)\n", static_cast<int>(args[0].size()),
                 args[0].data());
    return 1;
}

} // namespace

// No failure leaves the tool as an uncaught exception: whatever the library
// throws ends as one line on standard error and exit status 1.
int main(int argc, char** argv) {
    // Standard output carries only what was asked for (text art, the
    // document's JSON), which other programs read: the library's warnings go
    // to standard error beside the tool's own.
    foundation::setDiagnosticSink(foundation::diagnosticStream(stderr));
    try {
        return run(std::vector<std::string_view>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        return fail("out of memory");
    } catch (const std::exception& e) {
        return fail(std::string("failed: ") + e.what());
    } catch (...) {
        return fail("failed for an unknown reason");
    }
}
