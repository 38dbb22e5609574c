#include "platform/foundation/AtomicFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

#include <sys/stat.h>

using foundation::writeFileAtomically;
using testsupport::TempDir;

namespace {

std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

mode_t modeOf(const std::filesystem::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Sets the umask while it lives.
class Umask {
public:
    explicit Umask(mode_t mask) : saved_(::umask(mask)) {}
    ~Umask() { ::umask(saved_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t saved_;
};

} // namespace

TEST(AtomicFile, AWriteThatFailsLeavesWhatWasThereAndNothingElse) {
    TempDir dir;
    testsupport::writeTextFile(dir / "old.png", "old contents");
    ::chmod((dir / "old.png").c_str(), 0640);
    std::filesystem::create_directory(dir / "real");
    testsupport::writeTextFile(dir / "real" / "target.png", "linked contents");
    std::filesystem::create_symlink("real/target.png", dir / "link.png");
    const std::string big(20000, 'x');
    {
        // Past the limit every write fails as on a full disk; the small one
        // shows that the limit is all that stops them.
        const testsupport::FileSizeLimit limit(4096);
        for (const char* name : {"new.png", "old.png", "link.png"})
            EXPECT_EQ(writeFileAtomically(dir / name, big), std::errc::file_too_large) << name;
        EXPECT_FALSE(writeFileAtomically(dir / "small.png", std::string_view("fits")));
    }
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"link.png", "old.png", "real", "small.png"}));
    EXPECT_EQ(namesIn(dir / "real"), std::set<std::string>{"target.png"});
    EXPECT_EQ(testsupport::readTextFile(dir / "old.png"), "old contents");
    EXPECT_EQ(modeOf(dir / "old.png"), 0640u);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.png"));
    EXPECT_EQ(testsupport::readTextFile(dir / "real" / "target.png"), "linked contents");
    EXPECT_EQ(testsupport::readTextFile(dir / "small.png"), "fits");
}

TEST(AtomicFile, ReplacesOnlyRegularFilesKeepingTheirModesAndLinks) {
    TempDir dir;
    const Umask mask(027);
    EXPECT_FALSE(writeFileAtomically(dir / "new", std::string_view("new")));
    EXPECT_EQ(modeOf(dir / "new"), 0640u); // what a plain create gives

    testsupport::writeTextFile(dir / "kept", "old");
    ::chmod((dir / "kept").c_str(), 0604);
    EXPECT_FALSE(writeFileAtomically(dir / "kept", std::string_view("replaced")));
    EXPECT_EQ(testsupport::readTextFile(dir / "kept"), "replaced");
    EXPECT_EQ(modeOf(dir / "kept"), 0604u);

    EXPECT_FALSE(writeFileAtomically(dir / "kept", std::string_view("private"), {.mode = 0600}));
    EXPECT_EQ(modeOf(dir / "kept"), 0600u);

    // A relative link, dangling until the write: the file appears where it
    // leads, and the link stays.
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_symlink("sub/end", dir / "link");
    EXPECT_FALSE(writeFileAtomically(dir / "link", std::string_view("through")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(testsupport::readTextFile(dir / "sub" / "end"), "through");

    // Neither a folder nor a pipe is replaced.
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(writeFileAtomically(dir / "folder", std::string_view("x")), std::errc::is_a_directory);
    EXPECT_EQ(writeFileAtomically(dir / "pipe", std::string_view("x")), std::errc::invalid_argument);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "folder"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));

    // A name as long as a name may be still has room for its temporary.
    const std::string longest(255, 'n');
    EXPECT_FALSE(writeFileAtomically(dir / longest, std::string_view("long")));
    EXPECT_EQ(testsupport::readTextFile(dir / longest), "long");
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"new", "kept", "sub", "link", "folder", "pipe", longest}));
}
