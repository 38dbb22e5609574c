#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun qrtool(const std::string& args) {
    testsupport::TempDir dir;
    const auto errPath = dir / "stderr";
    ToolRun run;
    run.status = testsupport::runCommand(std::string(QRTOOL_PATH) + " " + args + " 2>" + errPath.string(), &run.out);
    run.err = testsupport::readTextFile(errPath);
    return run;
}

std::size_t countLines(const std::string& s) {
    std::size_t n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

} // namespace

TEST(QRTool, EncodePrintsTextArt) {
    // Default engine (filter, with its one-module margin) at level Q.
    const ToolRun full = qrtool("encode 'HELLO WORLD'");
    EXPECT_EQ(full.status, 0);
    EXPECT_EQ(countLines(full.out), 23U);
    EXPECT_NE(full.out.find("\u2588\u2588"), std::string::npos);

    const ToolRun small = qrtool("encode --engine external --level H --small 'HELLO WORLD'");
    EXPECT_EQ(small.status, 0);
    EXPECT_EQ(countLines(small.out), 14U); // version 2 at H: 27 rows, two per line
    EXPECT_TRUE(small.err.empty());

    testsupport::TempDir dir;
    testsupport::writeFile(dir / "msg.bin", {0x00, 0xFF, 0x10});
    const ToolRun file = qrtool("encode --level L --file " + (dir / "msg.bin").string());
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(countLines(file.out), 23U);
}

TEST(QRTool, BadInputGivesOneLineErrorAndStatusOne) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "big.bin", std::vector<std::uint8_t>(3000, 'a'));
    for (const std::string& args : {std::string("encode"), std::string("encode --level X hi"),
                                   std::string("encode --engine nope hi"), std::string("encode a b"),
                                   std::string("encode --bogus hi"), std::string("encode --file /nonexistent/x"),
                                   std::string("encode --file ") + (dir / "big.bin").string(),
                                   std::string("encode --engine external --level H --file ") + (dir / "big.bin").string(),
                                   std::string("encode \"$(printf '\\377')\""), std::string("frobnicate")}) {
        const ToolRun run = qrtool(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_TRUE(run.out.empty()) << args;
        EXPECT_EQ(countLines(run.err), 1U) << args << ": " << run.err;
    }
    const ToolRun help = qrtool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("encode"), std::string::npos);
}
