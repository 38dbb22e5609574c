// qrtool: a thin command-line harness over the library, used by tests,
// benchmarks and visual checks.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: qrtool <command> [options]\n"
    "\n"
    "commands:\n"
    "  --help    show this text\n";

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, stdout);
        return args.empty() ? 1 : 0;
    }
    std::fprintf(stderr, "qrtool: unknown command '%.*s' (see qrtool --help)\n",
                 static_cast<int>(args[0].size()), args[0].data());
    return 1;
}
