#include "platform/foundation/Diagnostics.h"
#include "tests/support/CapturedDiagnostics.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

TEST(Diagnostics, LinesGoToStandardOutputOrWhereTheProgramPointsThem) {
    // By default, each line and its newline on standard output.
    testing::internal::CaptureStdout();
    foundation::diagnostic("first");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\n");

    // To a stream: nothing on standard output any more.
    testsupport::TempDir dir;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen((dir / "log").c_str(), "w"));
    ASSERT_TRUE(file);
    EXPECT_FALSE(foundation::setDiagnosticSink(foundation::diagnosticStream(file.get()))); // the default was set
    testing::internal::CaptureStdout();
    foundation::diagnostic("to the file");
    foundation::diagnostic("and again");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testsupport::readTextFile(dir / "log"), "to the file\nand again\n"); // flushed at once

    {
        // To a callback, from many threads at once: every line whole, once.
        testsupport::CapturedDiagnostics captured;
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([t] {
                for (int i = 0; i < 200; ++i)
                    foundation::diagnostic("thread " + std::to_string(t) + " line " + std::to_string(i));
            });
        for (auto& thread : threads) thread.join();
        const std::set<std::string> distinct(captured.lines().begin(), captured.lines().end());
        EXPECT_EQ(captured.lines().size(), 1600u);
        EXPECT_EQ(distinct.size(), 1600u);
        EXPECT_EQ(distinct.count("thread 7 line 199"), 1u);
    }
    // The capture put the stream back.
    foundation::diagnostic("after the capture");
    EXPECT_EQ(testsupport::readTextFile(dir / "log"), "to the file\nand again\nafter the capture\n");

    // An empty sink is the default again; the stream was the one it replaced.
    EXPECT_TRUE(foundation::setDiagnosticSink({}));
    testing::internal::CaptureStdout();
    foundation::diagnostic("last");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "last\n");
}

TEST(Diagnostics, ALineSaidAgainRightAfterItselfIsPassedOnOnce) {
    std::vector<std::string> seen;
    const auto sink = foundation::withoutRepeats([&seen](std::string_view line) { seen.emplace_back(line); });
    for (const char* line : {"bad colour", "bad colour", "bad colour", "other", "bad colour", "bad colour", ""})
        sink(line);
    sink("");
    EXPECT_EQ(seen, (std::vector<std::string>{"bad colour", "other", "bad colour", ""}));

    // With no sink of its own it writes to standard output.
    const auto toStandardOutput = foundation::withoutRepeats({});
    testing::internal::CaptureStdout();
    toStandardOutput("once");
    toStandardOutput("once");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "once\n");
}
