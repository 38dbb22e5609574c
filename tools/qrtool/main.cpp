// qrtool: a thin command-line harness over the library, used by tests,
// benchmarks and visual checks.
#include "QRCode/QRCode.h"
#include "QRCode/QRCodeError.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: qrtool <command> [options]\n"
    "\n"
    "commands:\n"
    "  encode [--engine coreimage|external] [--level L|M|Q|H] [--small] (TEXT | --file PATH)\n"
    "            print the symbol of TEXT (or of the bytes of PATH) as text art;\n"
    "            defaults: engine coreimage, level Q, full-size art\n"
    "  --help    show this text\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "qrtool: %s\n", message.c_str());
    return 1;
}

int encode(const std::vector<std::string_view>& args) {
    std::string engineName = "coreimage";
    QRCode::ErrorCorrection level = QRCode::ErrorCorrection::quartile;
    bool small = false;
    std::optional<std::string> text;
    std::optional<std::string> filePath;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return std::string(args[++i]);
        };
        if (arg == "--engine") {
            const auto v = value();
            if (!v)
                return fail("--engine needs a value (coreimage or external)");
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
            if (!v)
                return fail("--file needs a path");
            if (filePath)
                return fail("only one --file may be given");
            filePath = *v;
        } else if (arg.size() > 1 && arg.substr(0, 2) == "--") {
            return fail("unknown option '" + std::string(arg) + "' (see qrtool --help)");
        } else {
            if (text)
                return fail("only one message may be given (quote text with spaces)");
            text = std::string(arg);
        }
    }
    if (text.has_value() == filePath.has_value())
        return fail("encode needs exactly one of TEXT or --file PATH");

    std::shared_ptr<QRCode::QRCodeEngine> engine;
    for (auto& candidate : QRCode::QRCode::QRCodeAvailableEngines())
        if (candidate->name() == engineName)
            engine = candidate;
    if (!engine)
        return fail("unknown engine '" + engineName + "' (coreimage or external)");

    try {
        std::optional<QRCode::QRCode> code;
        if (filePath) {
            std::ifstream in(*filePath, std::ios::binary);
            if (!in)
                return fail("cannot read '" + *filePath + "'");
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (in.bad())
                return fail("cannot read '" + *filePath + "'");
            code.emplace(std::span<const std::uint8_t>(bytes), level, engine);
        } else {
            code.emplace(std::string_view(*text), level, engine);
        }
        const std::string art = small ? code->smallAsciiRepresentation() : code->asciiRepresentation();
        std::fwrite(art.data(), 1, art.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    } catch (const QRCodeException& e) {
        if (e.code() == QRCodeError::unableToConvertTextToRequestedEncoding)
            return fail("the text is not valid UTF-8");
        return fail(std::string("the message does not fit in a symbol at this level (") + e.what() + ")");
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, stdout);
        return args.empty() ? 1 : 0;
    }
    if (args[0] == "encode")
        return encode({args.begin() + 1, args.end()});
    std::fprintf(stderr, "qrtool: unknown command '%.*s' (see qrtool --help)\n",
                 static_cast<int>(args[0].size()), args[0].data());
    return 1;
}
