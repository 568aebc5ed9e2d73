// The command line's own contract: exit statuses and messages, what goes to which
// stream, --print0, --encoding, and the settings file shared with the window.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli_tree.h"
#include "platform/iconv_converter.h"

namespace tarnwick::cli_test {
namespace {

using Paths = std::vector<std::string>;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(ExitStatus, BadUsageAndBadFoldersAreStatusTwoWithAMessage) {
  CliTree tree;
  tree.File("file.txt");
  const std::string root = tree.Root();
  const struct {
    std::vector<std::string> args;
    std::string inMessage;
  } cases[] = {
      {{"--unit", "XB", root}, "XB"},
      {{"--scope", "sideways", root}, "sideways"},
      {{"--size", "5", root}, "'5'"},
      {{"--chars", "a:b:c", root}, "'a:b:c'"},
      {{"--dup-output", "some", root}, "some"},
      {{"--format", "csv", root}, "csv"},
      {{"--size", "1:2", "--chars", "1:2", root}, "--chars"},
      {{"--no-such-flag", root}, "--no-such-flag"},
      {{}, "FOLDER"},
      {{root + "/missing"}, root + "/missing"},
      {{root + "/file.txt"}, "not a folder: " + root + "/file.txt"},
      {{"--save-settings"}, "--settings"},
      {{"--settings", root + "/none.ini", root}, root + "/none.ini"},
      {{root, "--encoding", "x"}, root},
      {{"--cache-info", root}, root},
      {{"--encoding", "--"}, "FILE"},
      {{"--", root, root}, "only one FOLDER"},
      {{"--scope", "tree", root, "--", root}, "only one FOLDER"},
  };
  for (const auto& c : cases) {
    const CliResult result = RunCli(c.args);
    EXPECT_EQ(result.status, 2) << ::testing::PrintToString(c.args);
    EXPECT_NE(result.err.find(c.inMessage), std::string::npos)
        << ::testing::PrintToString(c.args) << "\n"
        << result.err;
    EXPECT_EQ(result.out, "");
  }
}

// --exclude once took every word after it, the FOLDER included ("FOLDER is required").
TEST(ExitStatus, EveryFlagTakesOneValueAndLeavesTheFolder) {
  CliTree tree;
  tree.File("a.txt");
  tree.File("skip/b.txt");
  tree.File("settings.ini", "[主界面]\r\n");
  const std::vector<std::vector<std::string>> flags = {
      {"--scope", "tree"},      {"--levels", "2"},
      {"--mask", "*.txt"},      {"--lister", "mask"},
      {"--exclude", "skip"},    {"--threads", "2"},
      {"--content", "a"},       {"--in", "name"},
      {"--mode", "wildcard"},   {"--size", "0:9"},
      {"--chars", "0:9"},       {"--unit", "B"},
      {"--time", "modified"},   {"--compare", "date"},
      {"--from", "2000-01-01"}, {"--to", "2030-01-01"},
      {"--dup", "name"},        {"--dup-output", "all"},
      {"--format", "rows"},     {"--settings", tree.Path("settings.ini")},
  };
  for (const auto& flag : flags) {
    for (const bool joined : {false, true}) {
      std::vector<std::string> args = {"-q"};
      if (joined) {
        args.push_back(flag[0] + "=" + flag[1]);
      } else {
        args.insert(args.end(), flag.begin(), flag.end());
      }
      args.push_back(tree.Root());
      const CliResult result = RunCli(args);
      EXPECT_EQ(result.status, 0) << ::testing::PrintToString(args) << "\n" << result.err;
    }
  }
  // Given twice, --exclude leaves out both; a second word after one value is an error.
  EXPECT_EQ(ListedBy(tree, {"--scope", "tree", "--exclude", "skip", "--exclude", "a.txt"}),
            (Paths{"settings.ini"}));
  EXPECT_EQ(RunCli({"--exclude", "skip", "a.txt", tree.Root()}).status, 2);
}

TEST(Streams, ResultsOnStdoutSummaryOnStderrUnlessQuiet) {
  CliTree tree;
  tree.File("a.txt");
  tree.File("b.txt");
  const CliResult loud = RunCli({tree.Root()});
  EXPECT_EQ(loud.out, tree.Path("a.txt") + "\n" + tree.Path("b.txt") + "\n");
  EXPECT_EQ(loud.err.rfind("筛选完毕！共筛选出 2 个文件，耗时 ", 0), 0u) << loud.err;
  EXPECT_NE(loud.err.find("。请单击按钮操作列表！\n"), std::string::npos) << loud.err;

  const CliResult quiet = RunCli({"-q", tree.Root()});
  EXPECT_EQ(quiet.out, loud.out);
  EXPECT_EQ(quiet.err, "");

  const CliResult print0 = RunCli({"-q", "-0", tree.Root()});
  EXPECT_EQ(print0.out, tree.Path("a.txt") + '\0' + tree.Path("b.txt") + '\0');

  // A job that lists nothing still succeeds.
  const CliResult none = RunCli({"--mask", "*.none", tree.Root()});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(RunCli({"--help"}).status, 0);
}

TEST(Streams, OperandsAfterDoubleDashAreNeverOptions) {
  CliTree tree;
  tree.File("a.txt", "中文");
  // Taken as file names, "-rf" and "--scope" are files that do not exist.
  const CliResult files = RunCli({"--encoding", tree.Path("a.txt"), "--", "-rf", "--scope"});
  EXPECT_EQ(files.status, 1);
  EXPECT_EQ(files.out, "UTF-8\t" + tree.Path("a.txt") + "\n");
  EXPECT_EQ(files.err,
            "tarnwick-cli: -rf: No such file or directory\n"
            "tarnwick-cli: --scope: No such file or directory\n");
  const CliResult folder = RunCli({"-q", "--", tree.Root()});
  EXPECT_EQ(folder.status, 0) << folder.err;
  EXPECT_EQ(folder.out, tree.Path("a.txt") + "\n");
}

TEST(Streams, OutputThatCannotBeWrittenIsAnErrorWithoutASummary) {
  CliTree tree;
  tree.File("a.txt");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{tree.Root()}, {"--encoding", tree.Path("a.txt")}}) {
    const CliResult result =
        CliProcess(args, {.variables = {}, .asOrdinaryUser = false, .stdoutPath = "/dev/full"})
            .Wait();
    EXPECT_EQ(result.status, 1) << ::testing::PrintToString(args);
    EXPECT_NE(result.err.find("cannot write the results"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("筛选完毕"), std::string::npos) << result.err;
  }
}

TEST(Streams, ManyRowsArriveWholeAndInOrder) {
  CliTree tree;
  Paths expected;
  for (int i = 10000; i < 13000; ++i) {
    expected.push_back("file" + std::to_string(i) + "-with-a-longer-name.txt");
    tree.File(expected.back());
  }
  EXPECT_EQ(ListedBy(tree, {}), expected);
}

TEST(Encoding, NamesEachOfTheSixEncodings) {
  CliTree tree;
  const struct {
    const char* name;
    std::string bytes;
    const char* encoding;
  } cases[] = {
      {"gbk.txt", "\xd6\xd0\xce\xc4", "ANSI"},
      {"utf8.txt", "中文", "UTF-8"},
      {"utf16le.txt", std::string("\xff\xfe\x2d\x4e\x87\x65", 6), "Unicode"},
      {"utf16be.txt", std::string("\xfe\xff\x4e\x2d\x65\x87", 6), "Unicode BE"},
      {"big5.htm", "<html><head><meta charset=big5></head>\xa4\xa4\xa4\xe5", "Big5"},
      {"hkscs.htm", "<head><meta http-equiv=x content='text/html; charset=\"Big5-HKSCS\"'>\xa4\xa4",
       "Big5-HKSCS"},
  };
  std::vector<std::string> args{"--encoding"};
  std::string expected;
  for (const auto& c : cases) {
    tree.File(c.name, c.bytes);
    args.push_back(tree.Path(c.name));
    expected += std::string(c.encoding) + "\t" + tree.Path(c.name) + "\n";
  }
  const CliResult result = RunCli(args);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, expected);

  // A file that is not there has no encoding to tell: it is named with the reason, the
  // others are still told, and the status says something went wrong.
  args.insert(args.begin() + 1, tree.Path("missing.txt"));
  const CliResult missing = RunCli(args);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, expected);
  EXPECT_EQ(missing.err,
            "tarnwick-cli: " + tree.Path("missing.txt") + ": No such file or directory\n");
}

// --guess-encodings names the legacy encoding of text without a mark or declaration
// that is not UTF-8, and a content search finds its words; without it such text is GBK.
TEST(Encoding, GuessedLegacyEncodingsAreNamedAndSearched) {
  CliTree tree;
  auto encoded = [](const std::string& utf8, const char* encoding) {
    return platform::ConvertStrict(utf8, "UTF-8", encoding).value();
  };
  const std::string traditional =
      "本公司於二零一三年三月與對方簽訂了採購合同，合同金額為新台幣五十萬元。"
      "根據合同約定，對方應在收到發票後三十日內付款。財務部門已經核對了全部發票。\n";
  const std::string japanese =
      "本日の会議では、来年度の予算と新しい製品の開発計画について話し合いました。"
      "担当者は来週までに報告書を作成し、部長に提出してください。\n";
  const std::string korean =
      "오늘 회의에서는 내년도 예산과 새로운 제품 개발 계획에 대해 논의했습니다. "
      "담당자는 다음 주까지 보고서를 작성하여 부장님께 제출해 주시기 바랍니다.\n";
  const std::string simplified =
      "本公司于二零一三年三月与对方签订了采购合同，合同金额为人民币五十万元。"
      "根据合同约定，对方应在收到发票后三十日内付款。财务部门已经核对了全部发票。\n";
  const struct {
    const char* name;
    std::string bytes;
    const char* guessed;
  } cases[] = {
      {"big5.txt", encoded(traditional, "BIG5"), "Big5"},
      {"gbk.txt", encoded(simplified, "GBK"), "GB18030"},
      {"sjis.txt", encoded(japanese, "SHIFT_JIS"), "Shift-JIS"},
      {"euckr.txt", encoded(korean, "EUC-KR"), "EUC-KR"},
  };
  std::vector<std::string> args{"--encoding"};
  std::string guessed, plain;
  for (const auto& c : cases) {
    tree.File(c.name, c.bytes);
    args.push_back(tree.Path(c.name));
    guessed += std::string(c.guessed) + "\t" + tree.Path(c.name) + "\n";
    plain += "ANSI\t" + tree.Path(c.name) + "\n";
  }
  EXPECT_EQ(RunCli(args).out, plain);
  args.insert(args.begin(), "--guess-encodings");
  EXPECT_EQ(RunCli(args).out, guessed);

  for (const auto& [word, file] :
       {std::pair{"財務部門", "big5.txt"}, std::pair{"報告書", "sjis.txt"},
        std::pair{"보고서", "euckr.txt"}, std::pair{"财务部门", "gbk.txt"}}) {
    const std::vector<std::string> search{"--content", word, "--in", "content", tree.Root()};
    std::vector<std::string> guessing = search;
    guessing.insert(guessing.begin(), "--guess-encodings");
    EXPECT_EQ(RunCli(guessing).out, tree.Path(file) + "\n") << word;
    // Read as GBK the GBK file is found as before, the others are not.
    EXPECT_EQ(RunCli(search).out, std::string(file) == "gbk.txt" ? tree.Path(file) + "\n" : "")
        << word;
  }
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.File("data/alpha.txt", "alpha", kDefaultTime);
    tree.File("data/sub/alpha2.txt", "alpha", kDefaultTime);
    tree.File("data/sub/beta.txt", "beta alpha", kDefaultTime + 86400);
    tree.File("data/sub/deep/alpha3.txt", "alpha", kDefaultTime);
    tree.File("data/gamma.htm", "alpha", kDefaultTime);
    tree.File("data/big.txt", std::string(5000, 'a'), kDefaultTime);
  }
  std::string Data() const { return tree.Path("data"); }
  std::string Ini() const { return tree.Path("Tarnwick.ini"); }
  CliTree tree;
};

TEST_F(SettingsFile, SavedFlagsRestoreTheSameJob) {
  const std::vector<std::string> flags{"--scope",      "levels",
                                       "--levels",     "2",
                                       "--content",    "ALPHA",
                                       "--in",         "content",
                                       "--size",       "0:1",
                                       "--unit",       "KB",
                                       "--time",       "modified",
                                       "--compare",    "date",
                                       "--from",       "2013-01-01 10:00:00",
                                       "--to",         "2013-01-01 11:00:00",
                                       "--dup",        "md5",
                                       "--dup-output", "all",
                                       "--format",     "rows"};
  std::vector<std::string> direct = flags;
  direct.push_back(Data());
  const CliResult byFlags = RunCli(direct);
  ASSERT_EQ(byFlags.status, 0) << byFlags.err;
  // alpha.txt, gamma.htm, sub/alpha2.txt
  ASSERT_EQ(SplitRecords(byFlags.out).size(), 3u) << byFlags.out;

  std::vector<std::string> save = flags;
  save.insert(save.end(), {"--settings", Ini(), "--save-settings"});
  const CliResult saved = RunCli(save);
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_EQ(saved.out, "");
  EXPECT_EQ(ReadAll(Ini()).rfind("[主界面]\r\n", 0), 0u);

  const CliResult restored = RunCli({"--settings", Ini(), "--format", "rows", Data()});
  EXPECT_EQ(restored.status, 0) << restored.err;
  EXPECT_EQ(restored.out, byFlags.out);

  // Flags given with --settings override what the file restored.
  const CliResult overridden =
      RunCli({"-q", "--settings", Ini(), "--scope", "tree", "--dup-output", "one", Data()});
  EXPECT_EQ(tree.Relative(SplitRecords(overridden.out)), (Paths{"data/alpha.txt"}));
}

TEST_F(SettingsFile, SavingKeepsWhatItDoesNotOwnAndRemembersTheFolder) {
  {
    std::ofstream ini(Ini(), std::ios::binary);
    ini << "[其他]\r\nkey=value\r\n[主界面]\r\n层次=5";
  }
  const CliResult saved =
      RunCli({"--settings", Ini(), "--save-settings", "--mask", "*.txt", Data()});
  ASSERT_EQ(saved.status, 0);
  // The window keeps no name mask in the file; saying so beats a silent loss.
  EXPECT_NE(saved.err.find("--mask"), std::string::npos);
  const std::string text = ReadAll(Ini());
  EXPECT_EQ(text.rfind("[其他]\r\nkey=value\r\n[主界面]\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("\r\n层次=5"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n筛选目录=" + Data() + "\r\n"), std::string::npos) << text;
}

TEST_F(SettingsFile, FailedSaveIsAnErrorNotASuccess) {
  // /proc/version can be read but no file can be made beside it.
  const CliResult result = RunCli({"--settings", "/proc/version", "--save-settings"});
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.err.find("not saved"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tarnwick::cli_test
