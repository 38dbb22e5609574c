#include "platform/foundation/AtomicFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

#include <sys/stat.h>

// Modes, links, odd targets and long names are covered where qrtool, the
// exports and the settings store use the writer; here what they all rely on.
TEST(AtomicFile, ANewFileTakesTheUmaskAndAFailedWriteLeavesEverythingAsItWas) {
    testsupport::TempDir dir;
    const auto modeOf = [](const std::filesystem::path& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    };
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
}
