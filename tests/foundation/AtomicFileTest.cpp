#include "platform/foundation/AtomicFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const std::filesystem::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

} // namespace

// Modes, links, odd targets and long names are covered where qrtool, the
// exports and the settings store use the writer; here what they all rely on.
TEST(AtomicFile, ANewFileTakesTheUmaskAndAFailedOrRefusedWriteLeavesEverythingAsItWas) {
    testsupport::TempDir dir;
    const mode_t savedMask = ::umask(027);
    EXPECT_FALSE(foundation::writeFileAtomically(dir / "new", std::string_view("new")));
    ::umask(savedMask);
    EXPECT_EQ(modeOf(dir / "new"), 0640u); // what a plain create gives

    std::filesystem::create_directory(dir / "real");
    testsupport::writeTextFile(dir / "real" / "target", "linked contents");
    ::chmod((dir / "real" / "target").c_str(), 0604);
    std::filesystem::create_symlink("real/target", dir / "link");
    {
        // Past the limit every write fails as on a full disk.
        const testsupport::FileSizeLimit limit(4096);
        const std::string big(20000, 'x');
        for (const char* name : {"link", "new", "another"})
            EXPECT_EQ(foundation::writeFileAtomically(dir / name, big), std::errc::file_too_large) << name;
    }
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        names.insert(entry.path().lexically_relative(dir.path()));
    EXPECT_EQ(names, (std::set<std::string>{"link", "new", "real", "real/target"}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(testsupport::readTextFile(dir / "real" / "target"), "linked contents");
    EXPECT_EQ(modeOf(dir / "real" / "target"), 0604u);
    EXPECT_EQ(testsupport::readTextFile(dir / "new"), "new");

    // A file its owner marked read-only is refused, though the folder would
    // let a new file be renamed over it; a link is judged by its file.
    {
        const testsupport::ActingUnprivileged unprivileged;
        const testsupport::TempDir mine;
        testsupport::writeTextFile(mine / "kept", "kept contents");
        ::chmod((mine / "kept").c_str(), 0444);
        std::filesystem::create_symlink("kept", mine / "link");
        testsupport::writeTextFile(mine / "open", "old");
        for (const char* name : {"kept", "link"})
            EXPECT_EQ(foundation::writeFileAtomically(mine / name, std::string_view("new")),
                      std::errc::permission_denied)
                << name;
        EXPECT_EQ(testsupport::readTextFile(mine / "kept"), "kept contents");
        EXPECT_EQ(modeOf(mine / "kept"), 0444u);
        EXPECT_FALSE(foundation::writeFileAtomically(mine / "open", std::string_view("new")));
        EXPECT_EQ(testsupport::readTextFile(mine / "open"), "new");
        std::set<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(mine.path())) left.insert(entry.path().filename());
        EXPECT_EQ(left, (std::set<std::string>{"kept", "link", "open"}));
    }
    // A process that may write any file still replaces it, as cp does.
    if (::geteuid() == 0) {
        testsupport::writeTextFile(dir / "protected", "old");
        ::chmod((dir / "protected").c_str(), 0444);
        EXPECT_FALSE(foundation::writeFileAtomically(dir / "protected", std::string_view("root's")));
        EXPECT_EQ(testsupport::readTextFile(dir / "protected"), "root's");
        EXPECT_EQ(modeOf(dir / "protected"), 0444u);
    }
}
