#include "platform/defaults/PropertyListCoding.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/foundation/Json.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::Data;
using platform::Date;
using platform::PropertyList;
using platform::PropertyListArray;
using platform::PropertyListDictionary;
using platform::UserDefaults;
using testsupport::TempDir;

namespace {

PropertyListDictionary everyKind() {
    return {
        {"bool", PropertyList(true)},
        {"int", PropertyList(-42)},
        {"big", PropertyList(std::numeric_limits<std::uint64_t>::max())},
        {"real", PropertyList(5.0)},
        {"tiny", PropertyList(-0.0)},
        {"text", PropertyList("grün \"quoted\" / slash")},
        {"bytes", PropertyList(Data({0, 1, 2, 0xfe, 0xff}))},
        {"empty bytes", PropertyList(Data())},
        {"date", PropertyList(Date{1700000000.25})},
        {"array", PropertyList(PropertyListArray{PropertyList(1), PropertyList(1.0), PropertyList("1")})},
        {"nested", PropertyList(PropertyListDictionary{{"a", PropertyList(PropertyListArray{})},
                                                       {"b", PropertyList(PropertyListDictionary{})}})},
        // Dictionaries that look like the file's own tags.
        {"fake tag", PropertyList(PropertyListDictionary{{"$data", PropertyList("not base64!")}})},
        {"fake dict", PropertyList(PropertyListDictionary{{"$dict", PropertyList(PropertyListDictionary{})}})},
    };
}

std::vector<std::string> filesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// `depth` arrays (or dictionaries under "k"), each holding the next, around
// `inner`.
PropertyList nested(std::size_t depth, bool dictionaries, PropertyList inner = PropertyList(1)) {
    PropertyList value = std::move(inner);
    for (std::size_t i = 0; i < depth; ++i) {
        if (dictionaries) {
            PropertyListDictionary d;
            d.emplace("k", std::move(value));
            value = PropertyList(std::move(d));
        } else {
            PropertyListArray a;
            a.push_back(std::move(value));
            value = PropertyList(std::move(a));
        }
    }
    return value;
}

// What `run` printed on standard output, and how many lines that is.
std::string printed(const std::function<void()>& run) {
    testing::internal::CaptureStdout();
    run();
    return testing::internal::GetCapturedStdout();
}

long lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// The exit status of the process, or -1 when it did not exit normally.
int waitFor(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// A shell command that runs the suite writer program (SuiteWriter.cpp) for
// each (folder, suite) at once, the one at index N writing `keys` keys named
// pNk0, pNk1 and so on, odd ones ending by exit() with their suite still
// alive and even ones by returning from main; the command ends with status 0
// only if every one of them does.
std::string concurrentWriters(const std::vector<std::pair<std::filesystem::path, std::string>>& writers, int keys) {
    std::string script, waits = "true";
    for (std::size_t p = 0; p < writers.size(); ++p) {
        const std::string n = std::to_string(p);
        script += "'" TESSIVO_SUITE_WRITER "' '" + writers[p].first.string() + "' " + writers[p].second + " p" + n +
                  "k " + std::to_string(keys) + (p % 2 ? " exit" : " return") + " & p" + n + "=$!; ";
        waits += " && wait $p" + n;
    }
    return script + waits;
}

// What the link at `path` holds, or "(no link)".
std::string linkText(const std::filesystem::path& path) {
    std::error_code error;
    const auto text = std::filesystem::read_symlink(path, error);
    return error ? "(no link)" : text.string();
}

// What a child run by boundByPermissions ends with when even there a folder
// without write permission can be written (a file system that ignores
// permissions).
constexpr int writesNotDenied = 77;

// Runs `body` in a child process in which file permissions bind root as they
// bind anyone (root gives up the capability that overrides them), so that a
// folder without write permission cannot be written whoever runs the tests.
// The child's failed expectations are printed there; its exit status is 0
// when they all held, -1 when it did not end normally. `scratch` is a
// writable folder for a check of the set-up.
int boundByPermissions(const std::filesystem::path& scratch, const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        ::alarm(60); // a hang fails the test instead of stalling it
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct capabilities[_LINUX_CAPABILITY_U32S_3]{};
        if (::syscall(SYS_capget, &header, capabilities) == 0) {
            capabilities[CAP_TO_INDEX(CAP_DAC_OVERRIDE)].effective &= ~CAP_TO_MASK(CAP_DAC_OVERRIDE);
            (void)::syscall(SYS_capset, &header, capabilities);
        }
        const auto probe = scratch / "probe";
        ::mkdir(probe.c_str(), 0500);
        const bool denied = ::mkdir((probe / "inside").c_str(), 0700) != 0;
        ::rmdir((probe / "inside").c_str());
        ::rmdir(probe.c_str());
        if (!denied) std::_Exit(writesNotDenied);
        body();
        std::_Exit(testing::Test::HasFailure() ? 1 : 0);
    }
    return waitFor(child);
}

} // namespace

TEST(UserDefaults, EveryValueKindSurvivesReopeningWithItsKindInAPrivateFile) {
    TempDir dir;
    {
        auto suite = UserDefaults::open("group.example.shared", dir / "nested" / "config");
        for (const auto& [k, v] : everyKind()) suite->setObject(k, v);
        suite->setObject("nan", PropertyList(std::numeric_limits<double>::quiet_NaN()));
        suite->setObject("inf", PropertyList(-std::numeric_limits<double>::infinity()));
    }
    auto reopened = UserDefaults::open("group.example.shared", dir / "nested" / "config");
    for (const auto& [k, v] : everyKind()) {
        auto got = reopened->objectForKey(k);
        ASSERT_TRUE(got) << k;
        EXPECT_EQ(*got, v) << k << ": " << got->debugDescription();
        EXPECT_EQ(got->isInteger(), v.isInteger()) << k;
    }
    EXPECT_TRUE(reopened->objectForKey("real")->isReal());
    EXPECT_TRUE(std::signbit(*reopened->objectForKey("tiny")->asReal()));
    EXPECT_TRUE(std::isnan(*reopened->objectForKey("nan")->asReal()));
    EXPECT_EQ(*reopened->objectForKey("inf")->asReal(), -std::numeric_limits<double>::infinity());

    auto text = testsupport::readTextFile(reopened->filePath());
    EXPECT_EQ(text.find("null"), std::string::npos) << text;
    EXPECT_NE(text.find("5.0"), std::string::npos) << text;
    // The folder is made on demand; the file is private and has no leftovers.
    struct stat st {};
    ASSERT_EQ(::stat(reopened->filePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(filesIn(dir / "nested" / "config"),
              (std::vector<std::string>{"group.example.shared.json", "group.example.shared.json.lock"}));
}

TEST(UserDefaults, RegisteredDefaultsAreFallbacksAndNeverSaved) {
    TempDir dir;
    {
        auto suite = UserDefaults::open("s", dir.path());
        suite->registerDefaults({{"size", PropertyList(3)}, {"name", PropertyList("x")}});
        EXPECT_EQ(suite->objectForKey("size"), PropertyList(3));
        suite->setObject("size", PropertyList(5));
        EXPECT_EQ(suite->objectForKey("size"), PropertyList(5));
        auto all = suite->dictionaryRepresentation();
        EXPECT_EQ(all.size(), 2u);
        EXPECT_EQ(all.at("size"), PropertyList(5));
        suite->removeObjectForKey("size");
        EXPECT_EQ(suite->objectForKey("size"), PropertyList(3));
        suite->setObject("size", PropertyList(7));
        suite->setObject("gone", std::nullopt);
        EXPECT_FALSE(suite->objectForKey("gone"));
        EXPECT_EQ(suite->persistentDomain().size(), 1u);
    }
    auto reopened = UserDefaults::open("s", dir.path());
    EXPECT_EQ(reopened->objectForKey("size"), PropertyList(7));
    EXPECT_FALSE(reopened->objectForKey("name"));
}

TEST(UserDefaults, TwoInstancesOfOneSuiteKeepEachOthersKeys) {
    TempDir dir;
    auto a = UserDefaults::open("shared", dir.path());
    auto b = UserDefaults::open("shared", dir.path());
    a->setObject("from a", PropertyList(1));
    b->setObject("from b", PropertyList(2)); // both unsaved: each save merges the other's
    a->setObject("again a", PropertyList(3));
    ASSERT_TRUE(a->synchronize().ok());
    ASSERT_TRUE(b->synchronize().ok());
    EXPECT_EQ(b->objectForKey("again a"), PropertyList(3)); // reads see other writers
    EXPECT_EQ(a->objectForKey("from b"), PropertyList(2));
    b->removeObjectForKey("from a");
    // An unsaved change stays in front of a file another writer replaced.
    a->setObject("unsaved", PropertyList(4));
    ASSERT_TRUE(b->synchronize().ok());
    EXPECT_EQ(a->objectForKey("unsaved"), PropertyList(4));
    EXPECT_FALSE(a->objectForKey("from a"));
    ASSERT_TRUE(a->synchronize().ok());
    auto c = UserDefaults::open("shared", dir.path());
    auto all = c->persistentDomain();
    EXPECT_EQ(all.size(), 3u);
    EXPECT_EQ(all.at("from b"), PropertyList(2));
    EXPECT_EQ(all.at("again a"), PropertyList(3));
    EXPECT_EQ(all.at("unsaved"), PropertyList(4));

    // A change once saved is no longer A's to keep on top: B's newer value
    // of the same name shows in A and survives A's next save.
    a->setObject("k", PropertyList(1));
    ASSERT_TRUE(a->synchronize().ok());
    b->setObject("k", PropertyList(2));
    ASSERT_TRUE(b->synchronize().ok());
    EXPECT_EQ(a->objectForKey("k"), PropertyList(2));
    a->setObject("later", PropertyList(5));
    ASSERT_TRUE(a->synchronize().ok());
    EXPECT_EQ(UserDefaults::open("shared", dir.path())->objectForKey("k"), PropertyList(2));
}

TEST(UserDefaults, ProcessesWritingAtOnceKeepEveryKeyAndSaveAsTheyEnd) {
    // None of the writer processes calls synchronize(): two return from
    // main, two call exit() with their suite still alive.
    TempDir dir;
    constexpr int keysEach = 200;
    // The suite writer program (SuiteWriter.cpp), four at once.
    const std::string script =
        concurrentWriters(std::vector(4, std::pair{dir.path(), std::string("group.shared")}), keysEach);
    int writers = -1;
    std::thread others([&] { writers = testsupport::runCommand(script); });
    auto suite = UserDefaults::open("group.shared", dir.path());
    for (int k = 0; k < keysEach; ++k) suite->setObject("mine" + std::to_string(k), PropertyList(k));
    others.join();
    EXPECT_EQ(writers, 0);
    ASSERT_TRUE(suite->synchronize().ok());
    auto all = UserDefaults::open("group.shared", dir.path())->persistentDomain();
    EXPECT_EQ(all.size(), std::size_t(5 * keysEach));
    EXPECT_EQ(all["p1k199"], PropertyList(199));
    EXPECT_EQ(all["p2k0"], PropertyList(0));
    EXPECT_EQ(suite->persistentDomain().size(), all.size());

    // The standard suite, kept in a static, saves as the process ends.
    EXPECT_EQ(testsupport::runCommand("XDG_CONFIG_HOME='" + (dir / "xdg").string() +
                                      "' '" TESSIVO_SUITE_WRITER "' unused unused std 3 standard"),
              0);
    auto saved = UserDefaults::open(UserDefaults::standardSuiteName, dir / "xdg" / "tessivo");
    EXPECT_EQ(saved->objectForKey("std2"), PropertyList(2));
}

TEST(UserDefaults, BurstOfChangesEndsInFewSavesOfOneConsistentFile) {
    TempDir dir;
    auto suite = UserDefaults::open("s", dir.path());
    int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    // Each save moves a temporary file of its own name to the settings
    // file. Both ends of the move are watched: inotify would merge moves to
    // the one name that follow each other unread.
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_MOVED_FROM | IN_MOVED_TO), 0);
    // The saves since the last call.
    const auto saves = [&] {
        int count = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;)
            for (char* p = buffer; p < buffer + n;
                 p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
                if (const auto* event = reinterpret_cast<inotify_event*>(p);
                    (event->mask & IN_MOVED_TO) && std::string_view(event->name) == "s.json")
                    ++count;
        return count;
    };
    // Changes that come within the store's coalescing window (20 ms) of the
    // first share one save, or two when the last of them come after the
    // first save began. Only a burst that a busy machine stretches over
    // further windows may take one more save for each.
    const auto mostSaves = [](std::chrono::steady_clock::duration burst) {
        return 2 + int(burst / std::chrono::milliseconds(20));
    };

    // Whenever the file is there, it is complete.
    std::atomic<bool> done{false};
    std::atomic<int> damaged{0};
    std::thread reader([&] {
        while (!done) {
            std::ifstream in(dir / "s.json");
            if (!in) continue;
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            auto json = nlohmann::json::parse(text, nullptr, false);
            if (json.is_discarded() || !json.is_object()) ++damaged;
        }
    });
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
        const std::string key = "k" + std::to_string(i % 10);
        suite->setObject(key, PropertyList(i));
        ASSERT_EQ(suite->objectForKey(key), PropertyList(i)) << "a change shows before it is saved";
    }
    auto burst = std::chrono::steady_clock::now() - start;
    auto result = suite->synchronize();
    done = true;
    reader.join();
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(damaged, 0);
    int count = saves();
    EXPECT_GE(count, 1);
    EXPECT_LE(count, mostSaves(burst)) << "changes close together share a save";

    // A slider dragged: fifteen changes a millisecond apart, each giving a
    // writer that did not wait time to save.
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < 15; ++i) {
        suite->setObject("slider", PropertyList(i));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    burst = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(suite->synchronize().ok());
    count = saves();
    EXPECT_GE(count, 1);
    EXPECT_LE(count, mostSaves(burst)) << "a dragged slider shares its saves";
    ::close(watch);

    auto all = UserDefaults::open("s", dir.path())->persistentDomain();
    ASSERT_EQ(all.size(), 11u);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(all["k" + std::to_string(k)], PropertyList(990 + k));
    EXPECT_EQ(all["slider"], PropertyList(14));
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"s.json", "s.json.lock"}));
}

TEST(UserDefaults, ForkedChildSavesOnlyItsOwnChanges) {
    TempDir dir;
    auto suite = UserDefaults::open("s", dir.path());
    suite->setObject("x", PropertyList(1)); // not saved yet when the child is made
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::alarm(60); // a hang fails the test instead of stalling it
        char c = 0;
        bool started = ::read(go[0], &c, 1) == 1;
        suite->setObject("child", PropertyList(1));
        std::_Exit(started && suite->synchronize().ok() ? 0 : 1);
    }
    suite->setObject("x", PropertyList(2));
    ASSERT_TRUE(suite->synchronize().ok());
    ASSERT_EQ(::write(go[1], "g", 1), 1);
    EXPECT_EQ(waitFor(pid), 0);
    ::close(go[0]);
    ::close(go[1]);
    auto all = UserDefaults::open("s", dir.path())->persistentDomain();
    EXPECT_EQ(all["x"], PropertyList(2)) << "the child saved its parent's stale change";
    EXPECT_EQ(all["child"], PropertyList(1));
}

TEST(UserDefaults, FailedSavesAreReportedOnceKeptAndTriedAgain) {
    // The lock cannot be taken while its path is a folder; a file larger
    // than the file-size limit cannot be written.
    for (const bool lockIsAFolder : {true, false}) {
        TempDir dir;
        auto suite = UserDefaults::open("s", dir.path());
        if (lockIsAFolder) std::filesystem::create_directory(dir / "s.json.lock");
        UserDefaults::SaveResult first, second;
        std::optional<testsupport::FileSizeLimit> limit;
        if (!lockIsAFolder) limit.emplace(4096);
        const std::string out = printed([&] {
            if (limit) suite->setObject("large", PropertyList(std::string(8192, 'x')));
            suite->setObject("a", PropertyList(1));
            first = suite->synchronize();
            suite->setObject("b", PropertyList(2));
            second = suite->synchronize();
        });
        EXPECT_NE(first.error.find(lockIsAFolder ? "Cannot lock" : "Cannot save"), std::string::npos) << first.error;
        EXPECT_FALSE(second.ok());
        limit.reset();
        EXPECT_EQ(lines(out), 1) << out;
        EXPECT_EQ(suite->objectForKey("a"), PropertyList(1));
        EXPECT_EQ(suite->objectForKey("b"), PropertyList(2));
        if (!lockIsAFolder) continue;
        EXPECT_FALSE(std::filesystem::exists(dir / "s.json"));
        std::filesystem::remove(dir / "s.json.lock");
        ASSERT_TRUE(suite->synchronize().ok());
        EXPECT_EQ(UserDefaults::open("s", dir.path())->persistentDomain().size(), 2u);
    }

    // A save that fails once its temporary file exists: in a child whose
    // files may not grow past 4 KB, a value of 10 KB cannot be written out.
    // The child reports the failure and keeps the value; nothing is left
    // in the folder but the lock and the file as it was.
    TempDir dir;
    testsupport::writeTextFile(dir / "s.json", "{\"kept\": 1}");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(60);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        auto suite = UserDefaults::open("s", dir.path());
        suite->setObject("big", PropertyList(std::string(10000, 'x')));
        const auto result = suite->synchronize();
        const bool ok = result.error.find("Cannot save") != std::string::npos &&
                        suite->objectForKey("big") == PropertyList(std::string(10000, 'x'));
        std::_Exit(ok ? 0 : 1);
    }
    EXPECT_EQ(waitFor(child), 0);
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"s.json", "s.json.lock"}));
    EXPECT_EQ(testsupport::readTextFile(dir / "s.json"), "{\"kept\": 1}");
}

TEST(UserDefaults, TemporaryFileOfAKilledSaveIsRemovedAtTheNextStartUnlessTheLockIsHeld) {
    TempDir dir;
    testsupport::writeTextFile(dir / "s.json", "{\"a\": 1}");
    // What a save killed between writing and renaming leaves, and names
    // that are not this suite's temporary files.
    const std::string leftover = "s.json.tmp-Ab12Cd";
    const std::vector<std::string> others = {"other.json.tmp-Ab12Cd", "s.json.tmp-Ab12", "s.json.tmp-Ab12C!",
                                             "s.json.tmp-Ab12Cde", "s.json.corrupt-x"};
    testsupport::writeTextFile(dir / leftover, "{\"a\": ");
    for (const auto& name : others) testsupport::writeTextFile(dir / name, "keep");
    std::filesystem::create_directory(dir / "s.json.tmp-Folder");

    {
        // Whoever holds the lock may be writing that file right now.
        const int lockFd = ::open((dir / "s.json.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(lockFd, 0);
        ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
        auto started = UserDefaults::open("s", dir.path());
        EXPECT_EQ(started->objectForKey("a"), PropertyList(1));
        EXPECT_TRUE(std::filesystem::exists(dir / leftover));
        ::close(lockFd);
    }
    auto next = UserDefaults::open("s", dir.path());
    EXPECT_EQ(next->objectForKey("a"), PropertyList(1));
    EXPECT_FALSE(std::filesystem::exists(dir / leftover));
    for (const auto& name : others) EXPECT_EQ(testsupport::readTextFile(dir / name), "keep") << name;
    EXPECT_TRUE(std::filesystem::is_directory(dir / "s.json.tmp-Folder"));
    next->setObject("b", PropertyList(2));
    ASSERT_TRUE(next->synchronize().ok());
    EXPECT_EQ(filesIn(dir.path()).size(), others.size() + 3); // s.json, its lock and the folder
}

TEST(UserDefaults, ThreadsSharingOneSuiteKeepEveryKey) {
    TempDir dir;
    auto suite = UserDefaults::open("s", dir.path());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int k = 0; k < 20; ++k) {
                suite->setObject("t" + std::to_string(t) + "k" + std::to_string(k), PropertyList(k));
                (void)suite->objectForKey("t0k0");
                (void)suite->dictionaryRepresentation();
            }
        });
    for (auto& t : threads) t.join();
    ASSERT_TRUE(suite->synchronize().ok());
    EXPECT_EQ(UserDefaults::open("s", dir.path())->persistentDomain().size(), 80u);
}

TEST(UserDefaults, DamagedFileIsMovedAsideNotOverwritten) {
    // Nested 30,000 deep: 60 KB that once crashed every start.
    const std::string deep = "{\"a\": " + std::string(30000, '[') + std::string(30000, ']') + "}";
    for (const std::string& damaged :
         {std::string("{\"a\": 1,"), std::string("[1, 2]"), std::string("{\"a\": {\"$date\": \"yesterday\"}}"),
          std::string("{\"a\": null}"), deep}) {
        TempDir dir;
        testsupport::writeTextFile(dir / "s.json", damaged);
        auto suite = UserDefaults::open("s", dir.path());
        const std::string out = printed([&] { EXPECT_FALSE(suite->objectForKey("a")); });
        EXPECT_EQ(lines(out), 1) << out;
        EXPECT_NE(out.find("s.json.corrupt-"), std::string::npos) << out;

        suite->setObject("b", PropertyList(2));
        std::string aside;
        for (const auto& name : filesIn(dir.path()))
            if (name.starts_with("s.json.corrupt-")) aside = name;
        ASSERT_FALSE(aside.empty()) << damaged;
        EXPECT_EQ(testsupport::readTextFile(dir / aside), damaged);
        ASSERT_TRUE(suite->synchronize().ok());
        EXPECT_EQ(UserDefaults::open("s", dir.path())->persistentDomain().size(), 1u);
    }
}

namespace {

// The one name moved aside in the folder.
std::filesystem::path movedAside(const std::filesystem::path& dir) {
    for (const auto& name : filesIn(dir))
        if (name.starts_with("s.json.corrupt-")) return dir / name;
    return {};
}

} // namespace

TEST(UserDefaults, SettingsPathThatIsNoRegularFileIsMovedAsideWithoutOpeningIt) {
    // A FIFO under the settings name, and a link to one: opening either to
    // read would wait for a writer forever.
    for (const bool linked : {false, true}) {
        TempDir dir;
        ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
        if (linked)
            std::filesystem::create_symlink(dir / "pipe", dir / "s.json");
        else
            ASSERT_EQ(::link((dir / "pipe").c_str(), (dir / "s.json").c_str()), 0);
        testsupport::FifoWatch watch(dir / "pipe");
        auto suite = UserDefaults::open("s", dir.path());
        const std::string out = printed([&] { EXPECT_FALSE(suite->objectForKey("a")); });
        EXPECT_FALSE(watch.openedForReading()) << linked;
        EXPECT_EQ(lines(out), 1) << out;
        EXPECT_NE(out.find("is damaged (it is not a regular file); moved it to"), std::string::npos) << out;

        // What was there is moved as it is: the FIFO, or the link itself.
        const auto aside = movedAside(dir.path());
        struct stat st {};
        ASSERT_EQ(::lstat(aside.c_str(), &st), 0) << linked;
        EXPECT_TRUE(linked ? S_ISLNK(st.st_mode) : S_ISFIFO(st.st_mode));
        if (linked) {
            EXPECT_EQ(std::filesystem::read_symlink(aside), dir / "pipe");
        }

        suite->setObject("a", PropertyList(1));
        ASSERT_TRUE(suite->synchronize().ok());
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / "s.json")));
        EXPECT_EQ(UserDefaults::open("s", dir.path())->objectForKey("a"), PropertyList(1));
    }
}

TEST(UserDefaults, SettingsLinkedToADeviceIsMovedAsideUnread) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "reading the device would exhaust memory before a limit stops it; the FIFO cases cover the path";
#else
    TempDir dir;
    std::filesystem::create_symlink("/dev/zero", dir / "s.json");
    // In a child with little address space, so that reading the endless
    // device fails the test instead of exhausting the machine.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{rlim_t(2) << 30, rlim_t(2) << 30};
        ::setrlimit(RLIMIT_AS, &limit);
        auto suite = UserDefaults::open("s", dir.path());
        std::_Exit(suite->objectForKey("a") ? 2 : 0);
    }
    EXPECT_EQ(waitFor(child), 0);
    const auto aside = movedAside(dir.path());
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(std::filesystem::read_symlink(aside), "/dev/zero");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "s.json")));
#endif
}

TEST(UserDefaults, OversizedSettingsFileIsMovedAsideUnreadAndALinkToAGoodFileIsRead) {
    TempDir dir;
    {
        std::ofstream big(dir / "s.json");
        big << "{\"a\": 1}";
    }
    std::filesystem::resize_file(dir / "s.json", std::uintmax_t(UserDefaults::maxFileSize) + 1);
    {
        // A file of exactly the largest size is read (its padding is white space).
        TempDir full;
        std::string text = "{\"a\": 1}";
        text.resize(std::size_t(UserDefaults::maxFileSize), ' ');
        testsupport::writeTextFile(full / "s.json", text);
        const std::string quiet =
            printed([&] { EXPECT_EQ(UserDefaults::open("s", full.path())->objectForKey("a"), PropertyList(1)); });
        EXPECT_EQ(quiet, "");
        EXPECT_EQ(std::filesystem::file_size(full / "s.json"), std::uintmax_t(UserDefaults::maxFileSize));
    }
    auto suite = UserDefaults::open("s", dir.path());
    const std::string out = printed([&] { EXPECT_FALSE(suite->objectForKey("a")); });
    EXPECT_EQ(lines(out), 1) << out;
    EXPECT_NE(out.find("is damaged (it is larger than 64 MB)"), std::string::npos) << out;
    EXPECT_EQ(std::filesystem::file_size(movedAside(dir.path())), std::uintmax_t(UserDefaults::maxFileSize) + 1);

    // Settings kept elsewhere and linked in are the user's own set-up.
    TempDir linked;
    testsupport::writeTextFile(linked / "kept.json", "{\"a\": 7}");
    std::filesystem::create_symlink(linked / "kept.json", linked / "s.json");
    const std::string quiet =
        printed([&] { EXPECT_EQ(UserDefaults::open("s", linked.path())->objectForKey("a"), PropertyList(7)); });
    EXPECT_EQ(quiet, "");
    EXPECT_TRUE(std::filesystem::is_symlink(linked / "s.json"));
}

TEST(UserDefaults, UnreadableFileIsLeftAlone) {
    // A file that exists but cannot be read is not damaged: it is neither
    // moved aside nor overwritten, and changes stay in memory.
    TempDir dir;
    std::filesystem::create_directory(dir / "s.json");
    testsupport::writeTextFile(dir / "s.json" / "inside", "kept");
    auto suite = UserDefaults::open("s", dir.path());
    const std::string out = printed([&] {
        suite->setObject("new", PropertyList(2));
        suite->setObject("newer", PropertyList(3));
        EXPECT_FALSE(suite->synchronize().ok());
    });
    EXPECT_EQ(lines(out), 1) << out;
    EXPECT_EQ(suite->objectForKey("new"), PropertyList(2));
    EXPECT_EQ(testsupport::readTextFile(dir / "s.json" / "inside"), "kept");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"s.json", "s.json.lock"}));
}

TEST(UserDefaults, ValuesTheFileCannotHoldAreRefusedWithoutBlockingLaterSaves) {
    TempDir dir;
    auto suite = UserDefaults::open("s", dir.path());
    // Nested deeper than a settings file may be, in arrays and dictionaries.
    const std::string out = printed([&] {
        suite->setObject("bad", PropertyList("\xff\xfe"));
        suite->setObject("\xc3", PropertyList(1));
        suite->setObject("deep", nested(30000, false));
        suite->setObject("deeper", nested(100000, true));
    });
    EXPECT_EQ(lines(out), 4) << out;
    EXPECT_FALSE(suite->objectForKey("bad"));
    EXPECT_FALSE(suite->objectForKey("deep"));
    EXPECT_FALSE(suite->objectForKey("deeper"));
    suite->setObject("nested", nested(500, true));
    ASSERT_TRUE(suite->synchronize().ok());
    EXPECT_EQ(UserDefaults::open("s", dir.path())->objectForKey("nested"), nested(500, true));
    suite->setObject("good", PropertyList("ok"));
    ASSERT_TRUE(suite->synchronize().ok());
    EXPECT_EQ(UserDefaults::open("s", dir.path())->objectForKey("good"), PropertyList("ok"));
}

TEST(UserDefaults, NestingAtTheLimitIsWrittenAndReadBackAndOneLevelMoreIsRefused) {
    // Levels of the file: its own object, then the value's arrays or
    // dictionaries, then the tag object of data. What the store writes at
    // its deepest, it reads back; a value one level deeper is refused when
    // set, and a file one level deeper is damaged.
    const std::size_t limit = foundation::maxJsonDepth;
    const PropertyList data(Data({1, 2, 3}));
    const struct {
        const char* what;
        PropertyList deepest, tooDeep;
    } cases[] = {
        {"arrays", nested(limit - 1, false), nested(limit, false)},
        {"dictionaries", nested(limit - 1, true), nested(limit, true)},
        {"data in arrays", nested(limit - 2, false, data), nested(limit - 1, false, data)},
        {"a dictionary holding a tag's name",
         nested(limit - 3, false, PropertyList(PropertyListDictionary{{"$data", PropertyList("x")}})),
         nested(limit - 2, false, PropertyList(PropertyListDictionary{{"$data", PropertyList("x")}}))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        auto suite = UserDefaults::open("s", dir.path());
        const std::string out = printed([&] {
            suite->setObject("deepest", c.deepest);
            suite->setObject("too deep", c.tooDeep);
        });
        EXPECT_EQ(lines(out), 1) << out;
        EXPECT_FALSE(suite->objectForKey("too deep"));
        ASSERT_TRUE(suite->synchronize().ok());
        const std::string quiet =
            printed([&] { EXPECT_EQ(UserDefaults::open("s", dir.path())->objectForKey("deepest"), c.deepest); });
        EXPECT_EQ(quiet, "");
    }

    // Files written by hand: as deep as the limit, and one level deeper.
    for (const std::size_t depth : {limit, limit + 1}) {
        TempDir dir;
        testsupport::writeTextFile(dir / "s.json", "{\"a\": " + std::string(depth - 1, '[') + "1" +
                                                       std::string(depth - 1, ']') + ", \"b\": 2}");
        auto suite = UserDefaults::open("s", dir.path());
        const std::string out = printed([&] {
            EXPECT_EQ(suite->objectForKey("b"), depth > limit ? std::nullopt : std::optional(PropertyList(2)));
        });
        EXPECT_EQ(movedAside(dir.path()).empty(), depth <= limit) << depth << ": " << out;
        if (depth <= limit) {
            EXPECT_EQ(suite->objectForKey("a"), nested(limit - 1, false));
        }
    }
}

TEST(UserDefaults, AFileOfManyObjectsSideBySideReadsBackInFull) {
    // Six hundred tagged values, arrays and dictionaries next to each other:
    // many objects in all, none nested deeply.
    TempDir dir;
    std::string text = "{";
    for (int i = 0; i < 600; ++i) {
        static const char* const forms[] = {R"({"$data": "AAE="})",      R"({"$date": 5.5})",  R"({"$real": "-inf"})",
                                            R"({"$dict": {"$x": [1]}})", R"({"x": {"y": 2}})", "[[1], [2]]"};
        text += (i ? ", \"k" : "\"k") + std::to_string(i) + "\": " + forms[i % 6];
    }
    text += "}";
    testsupport::writeTextFile(dir / "s.json", text);
    auto suite = UserDefaults::open("s", dir.path());
    const std::string out = printed([&] { EXPECT_EQ(suite->persistentDomain().size(), 600u); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(suite->objectForKey("k0"), PropertyList(Data({0, 1})));
    EXPECT_EQ(suite->objectForKey("k595"), PropertyList(Date{5.5}));
    EXPECT_EQ(suite->objectForKey("k596"), PropertyList(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ(suite->objectForKey("k597"),
              PropertyList(PropertyListDictionary{{"$x", PropertyList(PropertyListArray{PropertyList(1)})}}));
    EXPECT_EQ(suite->objectForKey("k598"), PropertyList(PropertyListDictionary{
                                               {"x", PropertyList(PropertyListDictionary{{"y", PropertyList(2)}})}}));
    EXPECT_EQ(suite->objectForKey("k599"),
              PropertyList(PropertyListArray{PropertyList(PropertyListArray{PropertyList(1)}),
                                             PropertyList(PropertyListArray{PropertyList(2)})}));
    EXPECT_TRUE(movedAside(dir.path()).empty());
}

TEST(UserDefaults, ReadOnlyFileIsNotReplaced) {
    TempDir dir;
    const std::string kept = "{\n  \"a\": 1\n}\n";
    testsupport::writeTextFile(dir / "s.json", kept);
    ::chmod((dir / "s.json").c_str(), 0400);
    auto suite = UserDefaults::open("s", dir.path());
    const std::string out = printed([&] {
        suite->setObject("b", PropertyList(2));
        suite->setObject("c", PropertyList(3));
    });
    EXPECT_EQ(lines(out), 1) << out;
    EXPECT_NE(out.find("read-only"), std::string::npos) << out;
    EXPECT_EQ(suite->objectForKey("a"), PropertyList(1));
    EXPECT_EQ(suite->objectForKey("c"), PropertyList(3));
    EXPECT_EQ(testsupport::readTextFile(dir / "s.json"), kept);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "s.json").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0400u);

    // Marked read-only after it was read, before a save: kept all the same.
    testsupport::writeTextFile(dir / "later.json", kept);
    auto later = UserDefaults::open("later", dir.path());
    EXPECT_EQ(later->objectForKey("a"), PropertyList(1));
    ::chmod((dir / "later.json").c_str(), 0444);
    const std::string laterOut = printed([&] {
        later->setObject("b", PropertyList(2));
        EXPECT_FALSE(later->synchronize().ok());
    });
    EXPECT_NE(laterOut.find("read-only"), std::string::npos) << laterOut;
    EXPECT_EQ(later->objectForKey("b"), PropertyList(2));
    EXPECT_EQ(testsupport::readTextFile(dir / "later.json"), kept);
}

TEST(UserDefaults, SettingsKeptBehindLinksAreSavedWhereTheLinksLeadAndTheLinksStay) {
    // The user keeps the file in a folder of their own, "mine", and links
    // the settings file to it: by an absolute link, by a relative one (taken
    // against the link's folder, not the working folder), by a chain of both
    // kinds whose last link lies two folders deep, and by a dangling link,
    // whose first save makes the file it leads to. A link text that starts
    // with "/" is taken below the test's folder.
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links; // where, and the link's text
        bool fileExists;
    } cases[] = {
        {"an absolute link", {{"config/s.json", "/mine/settings.json"}}, true},
        {"a relative link", {{"config/s.json", "../mine/settings.json"}}, true},
        {"a chain of links",
         {{"config/s.json", "hop.json"},
          {"config/hop.json", "/via/deeper/hop.json"},
          {"via/deeper/hop.json", "../../mine/settings.json"}},
         true},
        {"a dangling link", {{"config/s.json", "../mine/settings.json"}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir root;
        const auto linkFor = [&](const std::string& text) {
            return text.starts_with("/") ? root.path().string() + text : text;
        };
        for (const char* folder : {"config", "mine", "via/deeper"}) std::filesystem::create_directories(root / folder);
        const auto mine = root / "mine";
        if (c.fileExists) testsupport::writeTextFile(mine / "settings.json", "{\"kept\": 1}");
        std::vector<std::string> linksInConfig;
        for (const auto& [at, text] : c.links) {
            std::filesystem::create_symlink(linkFor(text), root / at);
            if (at.starts_with("config/")) linksInConfig.push_back(at.substr(7));
        }
        std::sort(linksInConfig.begin(), linksInConfig.end());

        auto suite = UserDefaults::open("s", root / "config");
        const std::string out = printed([&] {
            EXPECT_EQ(suite->objectForKey("kept"), c.fileExists ? std::optional(PropertyList(1)) : std::nullopt);
            suite->setObject("first", PropertyList(1));
            ASSERT_TRUE(suite->synchronize().ok());
            suite->setObject("second", PropertyList(2));
            ASSERT_TRUE(suite->synchronize().ok());
        });
        EXPECT_EQ(out, "");
        for (const auto& [at, text] : c.links) EXPECT_EQ(linkText(root / at), linkFor(text)) << at;
        // Every save reached the user's file; lock and temporary files are
        // beside it, and nothing but the links is in the settings folder.
        auto real = UserDefaults::open("settings", mine);
        EXPECT_EQ(real->persistentDomain().size(), c.fileExists ? 3u : 2u);
        EXPECT_EQ(real->objectForKey("second"), PropertyList(2));
        EXPECT_EQ(filesIn(mine), (std::vector<std::string>{"settings.json", "settings.json.lock"}));
        EXPECT_EQ(filesIn(root / "config"), linksInConfig);
        struct stat st {};
        ASSERT_EQ(::stat((mine / "settings.json").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        // What is saved by the real path shows through the link.
        real->setObject("there", PropertyList(3));
        ASSERT_TRUE(real->synchronize().ok());
        EXPECT_EQ(suite->objectForKey("there"), PropertyList(3));
    }
}

TEST(UserDefaults, ALinkWhoseEndCannotTakeTheSaveKeepsTheChangesAndThatEndAsItIs) {
    // The changes stay readable in memory, one line says what failed, and
    // the links and the place they lead to are left as they are.
    const auto failedSave = [](UserDefaults& suite, UserDefaults::SaveResult& result) {
        const std::string out = printed([&] {
            suite.setObject("a", PropertyList(1));
            result = suite.synchronize();
            suite.setObject("b", PropertyList(2));
            EXPECT_FALSE(suite.synchronize().ok());
        });
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(lines(out), 1) << out;
        EXPECT_EQ(suite.objectForKey("a"), PropertyList(1));
        EXPECT_EQ(suite.objectForKey("b"), PropertyList(2));
    };
    UserDefaults::SaveResult result;
    {
        SCOPED_TRACE("a loop of links");
        TempDir dir;
        std::filesystem::create_symlink("loop.json", dir / "s.json");
        std::filesystem::create_symlink("s.json", dir / "loop.json");
        auto suite = UserDefaults::open("s", dir.path());
        failedSave(*suite, result);
        EXPECT_EQ(linkText(dir / "s.json"), "loop.json");
        EXPECT_EQ(linkText(dir / "loop.json"), "s.json");
        // With the loop broken the chain ends at a file to make, and the
        // kept changes are saved there.
        std::filesystem::remove(dir / "loop.json");
        std::filesystem::create_symlink("kept.json", dir / "loop.json");
        ASSERT_TRUE(suite->synchronize().ok());
        EXPECT_EQ(UserDefaults::open("kept", dir.path())->persistentDomain().size(), 2u);
        EXPECT_EQ(linkText(dir / "s.json"), "loop.json");
    }
    {
        SCOPED_TRACE("a dangling link into a folder that is not there");
        TempDir dir;
        std::filesystem::create_directory(dir / "config");
        std::filesystem::create_symlink("../gone/settings.json", dir / "config" / "s.json");
        auto suite = UserDefaults::open("s", dir / "config");
        failedSave(*suite, result);
        EXPECT_NE(result.error.find("gone/settings.json"), std::string::npos) << result.error;
        EXPECT_FALSE(std::filesystem::exists(dir / "gone")) << "the folder is made by no one but its owner";
        EXPECT_EQ(linkText(dir / "config" / "s.json"), "../gone/settings.json");
        std::filesystem::create_directory(dir / "gone");
        ASSERT_TRUE(suite->synchronize().ok());
        EXPECT_EQ(UserDefaults::open("settings", dir / "gone")->persistentDomain().size(), 2u);
        EXPECT_TRUE(std::filesystem::is_symlink(dir / "config" / "s.json"));
    }
    {
        SCOPED_TRACE("a link to a folder");
        TempDir dir;
        std::filesystem::create_directory(dir / "folder");
        std::filesystem::create_symlink("folder", dir / "s.json");
        auto suite = UserDefaults::open("s", dir.path());
        failedSave(*suite, result);
        EXPECT_TRUE(std::filesystem::is_empty(dir / "folder"));
        EXPECT_EQ(linkText(dir / "s.json"), "folder");
    }
    {
        SCOPED_TRACE("a link into a folder that cannot be written");
        TempDir dir;
        const auto mine = dir / "mine";
        std::filesystem::create_directories(dir / "config");
        std::filesystem::create_directory(mine);
        testsupport::writeTextFile(mine / "settings.json", "{\"kept\": 1}");
        std::filesystem::create_symlink(mine / "settings.json", dir / "config" / "s.json");
        const int status = boundByPermissions(dir.path(), [&] {
            auto suite = UserDefaults::open("s", dir / "config");
            suite->setObject("before", PropertyList(0));
            ASSERT_TRUE(suite->synchronize().ok());
            ::chmod(mine.c_str(), 0500);
            UserDefaults::SaveResult failed;
            failedSave(*suite, failed);
            EXPECT_NE(failed.error.find("Cannot save"), std::string::npos) << failed.error;
            EXPECT_EQ(suite->objectForKey("kept"), PropertyList(1));
            EXPECT_TRUE(std::filesystem::is_symlink(dir / "config" / "s.json"));
            EXPECT_EQ(filesIn(mine), (std::vector<std::string>{"settings.json", "settings.json.lock"}));
            EXPECT_FALSE(UserDefaults::open("settings", mine)->objectForKey("a"));
            ::chmod(mine.c_str(), 0700);
            ASSERT_TRUE(suite->synchronize().ok());
            EXPECT_EQ(UserDefaults::open("settings", mine)->persistentDomain().size(), 4u);
            EXPECT_TRUE(std::filesystem::is_symlink(dir / "config" / "s.json"));
        });
        ::chmod(mine.c_str(), 0700);
        if (status == writesNotDenied) GTEST_SKIP() << "this file system lets a folder without permission be written";
        EXPECT_EQ(status, 0);
    }
}

TEST(UserDefaults, ALinkWhoseEndIsNoGoodSettingsFileIsMovedAsideAndThatEndIsNeverWritten) {
    // A link to a FIFO, and a link to a file that a save finds damaged: the
    // link is moved aside as a damaged file would be and the save writes a
    // file of its own in its place. The place the link led to is not
    // written, and a FIFO gets no lock beside it.
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "a FIFO" : "a damaged file");
        TempDir dir;
        const auto mine = dir / "mine";
        std::filesystem::create_directories(dir / "config");
        std::filesystem::create_directory(mine);
        const auto end = mine / (fifo ? "pipe" : "settings.json");
        if (fifo) {
            ASSERT_EQ(::mkfifo(end.c_str(), 0600), 0);
        } else {
            testsupport::writeTextFile(end, "{\"kept\": 1}");
        }
        std::filesystem::create_symlink(end, dir / "config" / "s.json");
        std::optional<testsupport::FifoWatch> watch;
        if (fifo) watch.emplace(end);
        auto suite = UserDefaults::open("s", dir / "config");
        if (!fifo) {
            EXPECT_EQ(suite->objectForKey("kept"), PropertyList(1));
        }
        // The file is damaged while a save by its real path holds its lock,
        // after the change below was made on the good file: the save of the
        // change is the first to meet the damage.
        const int lockFd = fifo ? -1 : ::open((end.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (!fifo) {
            ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
        }
        const std::string out = printed([&] {
            suite->setObject("b", PropertyList(2));
            if (!fifo) {
                testsupport::writeTextFile(end, "{\"kept\": ");
                ::close(lockFd);
            }
            ASSERT_TRUE(suite->synchronize().ok());
        });
        EXPECT_EQ(lines(out), 1) << out;
        if (watch) {
            EXPECT_FALSE(watch->openedForReading());
        }
        EXPECT_EQ(suite->objectForKey("b"), PropertyList(2));
        const std::vector<std::string> untouched =
            fifo ? std::vector<std::string>{"pipe"} : std::vector<std::string>{"settings.json", "settings.json.lock"};
        EXPECT_EQ(filesIn(mine), untouched);
        if (fifo) {
            EXPECT_TRUE(std::filesystem::is_fifo(end));
        } else {
            EXPECT_EQ(testsupport::readTextFile(end), "{\"kept\": ");
        }
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / "config" / "s.json")));
        EXPECT_EQ(linkText(movedAside(dir / "config")), end.string());
        EXPECT_EQ(UserDefaults::open("s", dir / "config")->objectForKey("b"), PropertyList(2));
    }
}

TEST(UserDefaults, ALinkedFileSharesItsLockAndTemporaryFileSweepWithItsRealPath) {
    TempDir dir;
    const auto mine = dir / "mine";
    std::filesystem::create_directories(dir / "config");
    std::filesystem::create_directory(mine);
    testsupport::writeTextFile(mine / "settings.json", "{\"a\": 1}");
    std::filesystem::create_symlink("../mine/settings.json", dir / "config" / "s.json");
    // What a save through the link killed between writing and renaming
    // leaves beside the file, and names that are not that: one of another
    // length, and a link (followed, it would lead the sweep elsewhere).
    const std::string leftover = "settings.json.tmp-Ab12Cd";
    testsupport::writeTextFile(mine / leftover, "{\"a\": ");
    testsupport::writeTextFile(mine / "settings.json.tmp-Ab12", "keep");
    testsupport::writeTextFile(dir / "elsewhere", "keep");
    std::filesystem::create_symlink(dir / "elsewhere", mine / "settings.json.tmp-Zz99Yy");
    {
        // A save by the real path holds the file's lock: its temporary
        // file may be that one.
        const int lockFd = ::open((mine / "settings.json.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(lockFd, 0);
        ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
        auto started = UserDefaults::open("s", dir / "config");
        EXPECT_EQ(started->objectForKey("a"), PropertyList(1));
        EXPECT_TRUE(std::filesystem::exists(mine / leftover));
        ::close(lockFd);
    }
    auto suite = UserDefaults::open("s", dir / "config");
    EXPECT_EQ(suite->objectForKey("a"), PropertyList(1));
    EXPECT_FALSE(std::filesystem::exists(mine / leftover));
    EXPECT_EQ(testsupport::readTextFile(mine / "settings.json.tmp-Ab12"), "keep");
    EXPECT_TRUE(std::filesystem::is_symlink(mine / "settings.json.tmp-Zz99Yy"));
    EXPECT_EQ(testsupport::readTextFile(dir / "elsewhere"), "keep");

    // Programs writing at once, two through the link and two by the real
    // path, and this one through the link, keep every key.
    constexpr int keysEach = 100;
    int writers = -1;
    std::thread others([&] {
        writers = testsupport::runCommand(concurrentWriters(
            {{dir / "config", "s"}, {mine, "settings"}, {dir / "config", "s"}, {mine, "settings"}}, keysEach));
    });
    for (int k = 0; k < keysEach; ++k) suite->setObject("mine" + std::to_string(k), PropertyList(k));
    others.join();
    EXPECT_EQ(writers, 0);
    ASSERT_TRUE(suite->synchronize().ok());
    EXPECT_EQ(UserDefaults::open("settings", mine)->persistentDomain().size(), std::size_t(5 * keysEach + 1));
    EXPECT_EQ(linkText(dir / "config" / "s.json"), "../mine/settings.json");
    EXPECT_EQ(filesIn(dir / "config"), (std::vector<std::string>{"s.json"}));
}

TEST(UserDefaults, SuitesAreInternedByName) {
    TempDir dir;
    ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    auto a = UserDefaults::suite("group.example.app");
    ASSERT_TRUE(a);
    EXPECT_EQ(a, UserDefaults::suite("group.example.app"));
    EXPECT_NE(a, UserDefaults::suite("other"));
    EXPECT_EQ(a->filePath(), dir / "tessivo" / "group.example.app.json");
    EXPECT_FALSE(UserDefaults::suite(""));
    EXPECT_FALSE(UserDefaults::suite(UserDefaults::standardSuiteName));
    EXPECT_FALSE(UserDefaults::suite("../escape"));
    EXPECT_FALSE(UserDefaults::suite(".."));
    EXPECT_THROW(UserDefaults::open("a/b", dir.path()), std::invalid_argument);
    EXPECT_EQ(UserDefaults::standard(), UserDefaults::standard());
    EXPECT_EQ(UserDefaults::standard()->name(), UserDefaults::standardSuiteName);
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(UserDefaults::defaultDirectory().filename(), "tessivo");
    EXPECT_EQ(UserDefaults::defaultDirectory().parent_path().filename(), ".config");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(PropertyListCoding, RefusesWhatItNeverWrites) {
    using platform::propertyListFromJSON;
    EXPECT_THROW(propertyListFromJSON(nlohmann::json(nullptr)), platform::PropertyListFormatError);
    EXPECT_THROW(propertyListFromJSON(nlohmann::json::parse(R"({"$data": "abc"})")), platform::PropertyListFormatError);
    EXPECT_THROW(propertyListFromJSON(nlohmann::json::parse(R"({"$unknown": 1})")), platform::PropertyListFormatError);
    EXPECT_THROW(propertyListFromJSON(nlohmann::json::parse(R"({"$real": "zero"})")),
                 platform::PropertyListFormatError);
    nlohmann::json deep = 1;
    for (int i = 0; i < 100000; ++i) {
        nlohmann::json array = nlohmann::json::array();
        array.push_back(std::move(deep));
        deep = std::move(array);
    }
    EXPECT_THROW(propertyListFromJSON(deep), platform::PropertyListFormatError);
    // Integers and reals stay apart through the text.
    auto text =
        platform::propertyListToJSON(PropertyList(PropertyListArray{PropertyList(2), PropertyList(2.0)})).dump();
    auto back = propertyListFromJSON(nlohmann::json::parse(text));
    EXPECT_TRUE(back.asArray()->at(0).isInteger());
    EXPECT_TRUE(back.asArray()->at(1).isReal());
}

TEST(PropertyListCoding, ReadingAFileStraightFromItsTextAgreesWithReadingItsJsonTree) {
    const auto viaTree = [](const std::string& text) {
        const auto json = foundation::parseJson(text);
        if (!json.is_object()) throw platform::PropertyListFormatError("not an object");
        PropertyListDictionary out;
        for (auto it = json.begin(); it != json.end(); ++it) out.emplace(it.key(), platform::propertyListFromJSON(*it));
        return out;
    };
    nlohmann::json every = nlohmann::json::object();
    for (const auto& [key, value] : everyKind()) every[key] = platform::propertyListToJSON(value);
    const std::string deep = std::string(600, '[') + std::string(600, ']');
    for (const std::string& text : {
             every.dump(),
             testsupport::readTextFile(testsupport::sourceDir() / "fuzz/corpus/settings/every-kind.json"),
             std::string(R"({"a": {"$dict": {"$data": "AAE="}}, "b": {"$dict": {"$dict": {"$x": 1}}}})"),
             std::string(R"({"a": {"$date": {"$real": "-inf"}}, "b": [{"$real": "nan"}, {"$data": ""}], "c": 1e400})"),
             std::string(R"({"a": 1, "a": [2, 3], "big": 18446744073709551615, "neg": -9223372036854775808})"),
             std::string(R"({"a": {"$date": 5}})"), std::string(R"({"a": {"$real": 1.5}})"),
             std::string(R"({"a": {"$dict": 5}})"), std::string(R"({"a": null})"), std::string("[1, 2]"),
             std::string("7"), std::string("{\"a\": 1,"), std::string("{} x"), "{\"a\": " + deep + "}",
             "{\"a\": " + std::string(510, '[') + std::string(510, ']') + "}",
             "{\"a\": " + std::string(512, '[') + std::string(512, ']') + "}", std::string("{\"\xff\": 1}")}) {
        std::optional<PropertyListDictionary> expected, actual;
        try {
            expected = viaTree(text);
        } catch (const std::exception&) {
        }
        try {
            actual = platform::propertyListDictionaryFromJSONText(text);
        } catch (const std::exception&) {
        }
        ASSERT_EQ(actual.has_value(), expected.has_value()) << text.substr(0, 80);
        if (expected) {
            // NaN equals nothing, so texts holding one compare by description.
            EXPECT_EQ(PropertyList(*actual).debugDescription(), PropertyList(*expected).debugDescription());
            if (text.find("nan") == std::string::npos) {
                EXPECT_TRUE(*actual == *expected) << text.substr(0, 80);
            }
        }
    }
}
