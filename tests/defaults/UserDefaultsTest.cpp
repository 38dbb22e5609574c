#include "platform/defaults/PropertyListCoding.h"
#include "platform/defaults/UserDefaults.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sys/stat.h>
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

} // namespace

TEST(UserDefaults, EveryValueKindSurvivesReopeningWithItsKind) {
    TempDir dir;
    {
        auto suite = UserDefaults::open("group.example.shared", dir.path());
        for (const auto& [k, v] : everyKind()) suite->setObject(k, v);
        suite->setObject("nan", PropertyList(std::numeric_limits<double>::quiet_NaN()));
        suite->setObject("inf", PropertyList(-std::numeric_limits<double>::infinity()));
    }
    auto reopened = UserDefaults::open("group.example.shared", dir.path());
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

    auto text = testsupport::readTextFile(dir / "group.example.shared.json");
    EXPECT_EQ(text.find("null"), std::string::npos) << text;
    EXPECT_NE(text.find("5.0"), std::string::npos) << text;
}

TEST(UserDefaults, FileIsPrivateAndWrittenWithoutLeftovers) {
    TempDir dir;
    auto suite = UserDefaults::open("s", dir / "nested" / "config");
    suite->setObject("a", PropertyList(1));
    suite->setObject("a", PropertyList(2));
    struct stat st {};
    ASSERT_EQ(::stat(suite->filePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(filesIn(dir / "nested" / "config"), (std::vector<std::string>{"s.json", "s.json.lock"}));
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
    b->setObject("from b", PropertyList(2));  // b never read the file before
    a->setObject("again a", PropertyList(3)); // a's memory is stale here
    EXPECT_EQ(b->objectForKey("again a"), PropertyList(3)); // reads see other writers
    b->removeObjectForKey("from a");
    auto c = UserDefaults::open("shared", dir.path());
    auto all = c->persistentDomain();
    EXPECT_EQ(all.size(), 2u);
    EXPECT_EQ(all.at("from b"), PropertyList(2));
    EXPECT_EQ(all.at("again a"), PropertyList(3));
}

TEST(UserDefaults, ConcurrentProcessesNeverLoseKeys) {
    TempDir dir;
    constexpr int processes = 4, keysEach = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto suite = UserDefaults::open("group.shared", dir.path());
            for (int k = 0; k < keysEach; ++k)
                suite->setObject("p" + std::to_string(p) + "k" + std::to_string(k), PropertyList(k));
            std::_Exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto suite = UserDefaults::open("group.shared", dir.path());
    EXPECT_EQ(suite->persistentDomain().size(), std::size_t(processes * keysEach));
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
    EXPECT_EQ(UserDefaults::open("s", dir.path())->persistentDomain().size(), 80u);
}

TEST(UserDefaults, DamagedFileIsMovedAsideNotOverwritten) {
    for (const std::string& damaged : {std::string("{\"a\": 1,"), std::string("[1, 2]"),
                                      std::string("{\"a\": {\"$date\": \"yesterday\"}}"), std::string("{\"a\": null}")}) {
        TempDir dir;
        testsupport::writeTextFile(dir / "s.json", damaged);
        auto suite = UserDefaults::open("s", dir.path());
        testing::internal::CaptureStdout();
        EXPECT_FALSE(suite->objectForKey("a"));
        auto printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
        EXPECT_NE(printed.find("s.json.corrupt-"), std::string::npos) << printed;

        suite->setObject("b", PropertyList(2));
        std::string aside;
        for (const auto& name : filesIn(dir.path()))
            if (name.starts_with("s.json.corrupt-")) aside = name;
        ASSERT_FALSE(aside.empty()) << damaged;
        EXPECT_EQ(testsupport::readTextFile(dir / aside), damaged);
        EXPECT_EQ(UserDefaults::open("s", dir.path())->persistentDomain().size(), 1u);
    }
}

TEST(UserDefaults, UnreadableFileIsLeftAlone) {
    // A file that exists but cannot be read is not damaged: it is neither
    // moved aside nor overwritten, and changes stay in memory.
    TempDir dir;
    std::filesystem::create_directory(dir / "s.json");
    testsupport::writeTextFile(dir / "s.json" / "inside", "kept");
    auto suite = UserDefaults::open("s", dir.path());
    testing::internal::CaptureStdout();
    suite->setObject("new", PropertyList(2));
    suite->setObject("newer", PropertyList(3));
    auto printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_EQ(suite->objectForKey("new"), PropertyList(2));
    EXPECT_EQ(testsupport::readTextFile(dir / "s.json" / "inside"), "kept");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"s.json", "s.json.lock"}));
}

TEST(UserDefaults, TextThatIsNoUTF8IsRefusedWithoutBlockingLaterSaves) {
    TempDir dir;
    auto suite = UserDefaults::open("s", dir.path());
    testing::internal::CaptureStdout();
    suite->setObject("bad", PropertyList("\xff\xfe"));
    suite->setObject("\xc3", PropertyList(1));
    auto printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 2) << printed;
    EXPECT_FALSE(suite->objectForKey("bad"));
    suite->setObject("good", PropertyList("ok"));
    EXPECT_EQ(UserDefaults::open("s", dir.path())->objectForKey("good"), PropertyList("ok"));
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
    EXPECT_THROW(propertyListFromJSON(nlohmann::json::parse(R"({"$real": "zero"})")), platform::PropertyListFormatError);
    // Integers and reals stay apart through the text.
    auto text = platform::propertyListToJSON(PropertyList(PropertyListArray{PropertyList(2), PropertyList(2.0)})).dump();
    auto back = propertyListFromJSON(nlohmann::json::parse(text));
    EXPECT_TRUE(back.asArray()->at(0).isInteger());
    EXPECT_TRUE(back.asArray()->at(1).isReal());
}
