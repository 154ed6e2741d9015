#include "engine/PageCache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>

#include <csignal>
#include <sys/resource.h>

#include "platform/Clock.h"

using namespace quorvia;
namespace fs = std::filesystem;

namespace {

class PageCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() / ("quorvia-cache-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        SetCacheRoot(folder_ / "Cache");
        CreateCacheFolder();
    }
    void TearDown() override {
        Clock::SetTodayForTesting(std::nullopt);
        SetCacheRoot({});
        fs::remove_all(folder_);
    }
    static void MoveToday(int days) {
        Clock::SetTodayForTesting(Date(Clock::Today().Days() + std::chrono::days(days)));
    }
    fs::path folder_;
};

} // namespace

TEST(PageCacheNames, EncodeCacheName) {
    const std::pair<std::string, std::string> cases[] = {
        {"red+shoes", "red-shoes"},
        {"C+++books", "^C---books"},
        {"Web 2.0", "^Web32 50 46 48"},
        {"My Engine 2", "^My32 ^Engine32 50"},
        {"a/b\\c", "a_b=c"},
        {"2004", "50 48 48 52"},
        {"\xc3\xa9:", "195 169 58"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(EncodeCacheName(text), expected) << text;
}

TEST_F(PageCacheTest, PagesRoundTripByteForByteUnderTheirNames) {
    EXPECT_TRUE(fs::is_directory(folder_ / "Cache"));
    std::string page;
    for (int b = 0; b < 256; ++b)
        page += char(b);
    page += std::string("\0\0</html>", 9);
    WriteCachedPage("MyEngine", "red+shoes", page, 1);
    EXPECT_TRUE(fs::is_regular_file(folder_ / "Cache" / "^My^Engine" / "red-shoes.1"));
    EXPECT_EQ(ReadCachedPage("MyEngine", "red+shoes", 1), page);
    EXPECT_EQ(ReadCachedPage("MyEngine", "red+shoes", 0), "");
    EXPECT_EQ(ReadCachedPage("MyEngine", "Red+shoes", 1), ""); // letter case counts

    WriteCachedPage("MyEngine", "red+shoes", "short", 1); // replaces the copy completely
    EXPECT_EQ(ReadCachedPage("MyEngine", "red+shoes", 1), "short");

    WriteCachedPage("a/b\\c", "k", "x", 0); // one folder, whatever the name holds
    EXPECT_TRUE(fs::is_regular_file(folder_ / "Cache" / "a_b=c" / "k.0"));
}

TEST_F(PageCacheTest, CopiesOfAnotherDayAreDeletedWhenAskedFor) {
    const fs::path file = folder_ / "Cache" / "^E" / "k.0";
    for (int days : {1, -1}) { // written yesterday; written "tomorrow" (clock set back)
        SCOPED_TRACE(days);
        Clock::SetTodayForTesting(std::nullopt);
        WriteCachedPage("E", "k", "page", 0);
        MoveToday(days);
        EXPECT_EQ(ReadCachedPage("E", "k", 0), "");
        EXPECT_FALSE(fs::exists(file));
    }
    Clock::SetTodayForTesting(std::nullopt);
    WriteCachedPage("E", "k", "page", 0);
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(48));
    EXPECT_EQ(ReadCachedPage("E", "k", 0), "");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(PageCacheTest, EmptyCopyReadsEmptyAndStays) {
    WriteCachedPage("E", "k", "", 3);
    const fs::path file = folder_ / "Cache" / "^E" / "k.3";
    ASSERT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(ReadCachedPage("E", "k", 3), "");
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(PageCacheTest, FailuresAreSilent) {
    WriteCachedPage("", "k", "page", 0); // no engine name: nothing stored
    EXPECT_TRUE(fs::is_empty(folder_ / "Cache"));

    SetCacheRoot(folder_ / "missing" / "Cache");
    EXPECT_NO_THROW(WriteCachedPage("E", "k", "page", 0));
    EXPECT_EQ(ReadCachedPage("E", "k", 0), "");
    EXPECT_FALSE(fs::exists(folder_ / "missing"));

    std::ofstream(folder_ / "plain") << "not a folder";
    SetCacheRoot(folder_ / "plain");
    EXPECT_NO_THROW(CreateCacheFolder());
    EXPECT_NO_THROW(WriteCachedPage("E", "k", "page", 0));
    EXPECT_EQ(ReadCachedPage("E", "k", 0), "");

    // A page path taken by a folder with contents can be neither read nor written.
    SetCacheRoot(folder_ / "Cache");
    fs::create_directories(folder_ / "Cache" / "^E" / "k.0");
    std::ofstream(folder_ / "Cache" / "^E" / "k.0" / "inside") << "x";
    EXPECT_NO_THROW(WriteCachedPage("E", "k", "page", 0));
    EXPECT_EQ(ReadCachedPage("E", "k", 0), "");
}

TEST_F(PageCacheTest, CutWriteLeavesNoCopyBehind) {
    // A file-size limit makes the write fail half-way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    WriteCachedPage("E", "k", std::string(64 * 1024, 'x'), 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_FALSE(fs::exists(folder_ / "Cache" / "^E" / "k.0"));
    EXPECT_EQ(ReadCachedPage("E", "k", 0), "");
}
