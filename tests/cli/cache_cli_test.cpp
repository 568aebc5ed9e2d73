// The digest cache on the command line: MD5 jobs keep it up to date unless --no-cache,
// --cache-info and --clear-cache manage it, two programs may use it at once, and a
// damaged cache changes no row. Each test has its own cache folder.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

// A tree of copies and near-copies, and a cache folder of its own.
class CacheCli : public ::testing::Test {
 protected:
  void SetUp() override {
    for (CliTree* tree : {&first_, &second_}) {
      const std::string big = RandomBytes(200 * 1024, tree == &first_ ? 1 : 2);
      tree->File("copy1", big);
      tree->File("copy2", big);
      std::string other = big;
      other[100 * 1024] ^= 1;
      tree->File("other", other);
      tree->File("small1", "same");
      tree->File("small2", "same");
    }
  }

  CliEnvironment Cache() const {
    return {
        .variables = {"XDG_CACHE_HOME=" + home_.Root()}, .asOrdinaryUser = false, .stdoutPath = {}};
  }
  std::string Database() const { return home_.Path("tarnwick/digests.sqlite"); }
  CliResult Run(std::vector<std::string> args) const { return RunCli(args, Cache()); }
  std::vector<std::string> Md5Job(const CliTree& tree) const {
    return {"-q", "--dup", "md5", "--dup-output", "all", tree.Root()};
  }
  long long Entries() const {
    const CliResult info = Run({"--cache-info"});
    EXPECT_EQ(info.status, 0) << info.err;
    const std::size_t at = info.out.find("entries: ");
    return at == std::string::npos ? -1 : std::stoll(info.out.substr(at + 9));
  }

  CliTree first_, second_, home_;
};

TEST_F(CacheCli, JobsKeepTheCacheUnlessToldNotToAndItCanBeEmptied) {
  const std::vector<std::string> expected = {"copy1", "copy2", "small1", "small2"};
  const CliResult uncached = Run(Md5Job(first_));
  ASSERT_EQ(uncached.status, 0) << uncached.err;
  EXPECT_EQ(first_.Relative(SplitRecords(uncached.out)), expected);
  // Files written in the last two seconds are not kept: wait, then run again.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  std::vector<std::string> noCache = Md5Job(first_);
  noCache.insert(noCache.begin(), "--no-cache");
  const long long before = Entries();
  EXPECT_EQ(Run(noCache).out, uncached.out);
  EXPECT_EQ(Entries(), before);
  EXPECT_EQ(Run(Md5Job(first_)).out, uncached.out);
  EXPECT_EQ(Entries(), 5);

  const CliResult info = Run({"--cache-info"});
  EXPECT_EQ(info.out.rfind("path: " + Database() + "\nentries: 5\nsize: ", 0), 0u) << info.out;
  EXPECT_EQ(info.err, "");
  EXPECT_EQ(Run({"--clear-cache"}).status, 0);
  EXPECT_EQ(Entries(), 0);
  EXPECT_EQ(Run(Md5Job(first_)).out, uncached.out);

  const CliResult help = Run({"--help"});
  for (const char* flag : {"--no-cache", "--cache-info", "--clear-cache"})
    EXPECT_NE(help.out.find(flag), std::string::npos) << flag;
}

// The window and a command-line job, or two jobs, may write at once: neither waits for
// long, neither loses its rows, and the database stays whole.
TEST_F(CacheCli, TwoProgramsAtOnceShareTheCache) {
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  const std::string expectedFirst = RunCli(Md5Job(first_)).out;
  const std::string expectedSecond = RunCli(Md5Job(second_)).out;
  for (int round = 0; round < 3; ++round) {
    CliProcess one(Md5Job(first_), Cache());
    CliProcess two(Md5Job(second_), Cache());
    const CliResult firstResult = one.Wait();
    const CliResult secondResult = two.Wait();
    EXPECT_EQ(firstResult.out, expectedFirst) << firstResult.err;
    EXPECT_EQ(secondResult.out, expectedSecond) << secondResult.err;
  }
  EXPECT_EQ(Entries(), 10);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(Database().c_str(), &db), SQLITE_OK);
  sqlite3_stmt* check = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
  sqlite3_finalize(check);
  sqlite3_close(db);
}

TEST_F(CacheCli, DamagedCacheIsToldOnceAndChangesNoRow) {
  const std::string expected = RunCli({"--no-cache", "-q", "--dup", "md5", first_.Root()}).out;
  std::filesystem::create_directories(home_.Path("tarnwick"));
  std::ofstream(Database(), std::ios::binary) << RandomBytes(4096, 9);
  const CliResult damaged = Run({"--dup", "md5", first_.Root()});
  EXPECT_EQ(damaged.status, 0);
  EXPECT_EQ(damaged.out, expected);
  const std::vector<std::string> lines = SplitRecords(damaged.err);
  ASSERT_EQ(lines.size(), 2u) << damaged.err;
  EXPECT_EQ(lines[0], "tarnwick-cli: digest cache " + Database() +
                          " was damaged (file is not a database) and is started anew");
  EXPECT_EQ(lines[1].rfind("筛选完毕！", 0), 0u);
  EXPECT_EQ(Run({"-q", "--dup", "md5", first_.Root()}).err, "");
}

// Named as the walk names what it cannot read, in walk order whatever the threads; the
// program runs as an ordinary user, since permissions do not bind the superuser.
TEST_F(CacheCli, FileThatCannotBeReadIsNamedAndTheStatusIsOne) {
  ASSERT_EQ(::chmod(first_.Root().c_str(), 0755), 0);
  for (const char* locked : {"other", "small1"})
    ASSERT_EQ(::chmod(first_.Path(locked).c_str(), 0), 0);
  const std::string named = "tarnwick-cli: " + first_.Path("other") + ": Permission denied\n" +
                            "tarnwick-cli: " + first_.Path("small1") + ": Permission denied\n";
  for (const char* threads : {"1", "3"}) {
    const CliResult result =
        RunCli({"--no-cache", "--threads", threads, "--dup", "md5", first_.Root()},
               {.variables = {}, .asOrdinaryUser = true, .stdoutPath = {}});
    EXPECT_EQ(result.status, 1) << threads;
    EXPECT_EQ(result.err.find(named), 0u) << threads << " threads\n" << result.err;
    EXPECT_EQ(first_.Relative(SplitRecords(result.out)), (std::vector<std::string>{"copy1"}));
  }
}

// /proc reports its files as empty and some give data without end: the walk must end.
TEST_F(CacheCli, DuplicateSearchOfProcEnds) {
  const CliResult result = Run({"-q", "--scope", "tree", "--dup", "md5", "/proc/self"});
  EXPECT_TRUE(result.status == 0 || result.status == 1) << result.status << result.err;
}

}  // namespace
}  // namespace tarnwick::cli_test
