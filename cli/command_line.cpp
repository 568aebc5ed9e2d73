#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <tuple>

#include "cli/messages.h"
#include "cli/range_text.h"

namespace tarnwick::cli {
namespace {

template <typename Value>
struct Choice {
  const char* word;
  Value value;
};

const std::vector<Choice<Check>> kScopes = {
    {"this", Check::ScopeThis}, {"tree", Check::ScopeTree}, {"levels", Check::ScopeLevels}};

const std::vector<Choice<Check>> kUnits = {
    {"B", Check::UnitB},   {"KB", Check::UnitKB}, {"MB", Check::UnitMB}, {"GB", Check::UnitGB},
    {"TB", Check::UnitTB}, {"个", Check::UnitB},  {"十", Check::UnitKB}, {"百", Check::UnitMB},
    {"千", Check::UnitGB}, {"万", Check::UnitTB}};

const std::vector<Choice<Check>> kTimeKinds = {{"created", Check::TimeCreated},
                                               {"modified", Check::TimeModified},
                                               {"accessed", Check::TimeAccessed}};

const std::vector<Choice<Check>> kCompareModes = {
    {"date", Check::CompareDate}, {"time", Check::CompareTime}, {"both", Check::CompareBoth}};

const std::vector<Choice<Check>> kDuplicateKeys = {
    {"md5", Check::DupByMd5},   {"length", Check::DupByLength},        {"name", Check::DupByName},
    {"text", Check::DupByText}, {"similar", Check::DupBySimilarity}};

const std::vector<Choice<Check>> kDuplicateOutputs = {
    {"one", Check::DupOne}, {"all", Check::DupAll}, {"all-but-one", Check::DupAllButOne}};

// Which of 选择框文件名 and 选择框文件内容 are ticked.
struct Places {
  bool name;
  bool content;
};
const std::vector<Choice<Places>> kPlaces = {
    {"name", {true, false}}, {"content", {false, true}}, {"both", {true, true}}};

const std::vector<Choice<int>> kMatchModes = {{"default", 0}, {"wildcard", 1}, {"regex", 2}};

const std::vector<Choice<Lister>> kListers = {{"find", Lister::FindFile},
                                              {"mask", Lister::FileSystemObject}};

const std::vector<Choice<OutputFormat>> kFormats = {
    {"paths", OutputFormat::Paths}, {"rows", OutputFormat::Rows}, {"json", OutputFormat::Json}};

template <typename Value>
CLI::IsMember WordsOf(const std::vector<Choice<Value>>& choices) {
  std::vector<std::string> words;
  for (const auto& choice : choices) words.emplace_back(choice.word);
  // The flag's type name already lists the words; keep the help to one mention.
  CLI::IsMember member(words);
  member.description("");
  return member;
}

// The value of a word that CLI::IsMember has already accepted.
template <typename Value>
Value ValueOf(const std::vector<Choice<Value>>& choices, const std::string& word) {
  const auto found = std::find_if(choices.begin(), choices.end(),
                                  [&](const auto& choice) { return word == choice.word; });
  return found->value;
}

// Rejects a range that is not two texts around one colon; the texts themselves are
// read later by the engine's own rules, as the window reads what the user typed.
const CLI::Validator kRangeShape(
    [](std::string& text) -> std::string {
      return SplitRange(text) ? "" : "'" + text + "' is not a range LO:HI, such as 5:10";
    },
    "");

// Every flag's raw value, before it becomes an option edit.
struct RawFlags {
  std::string scope, levels, mask, content, in, mode;
  std::string size, chars, unit;
  std::string time, compare, from, to;
  std::string dup, dupOutput, similarity;
  std::string lister = "find", format = "paths";
  bool without = false, stripTags = false, stripSpace = false, guessEncodings = false;
};

void Describe(CLI::App& app, CommandLine& line, RawFlags& raw) {
  app.description(
      "Runs one filter job on FOLDER, as the start button of the Tarnwick window does, and\n"
      "prints the files it lists. Options start at the window's initial values, or at the\n"
      "values restored from --settings FILE; each flag below then changes one of them.");
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.get_formatter()->column_width(34);

  app.add_option("FOLDER", line.folder, "the folder to walk")->type_name("");
  app.set_version_flag("--version", "tarnwick-cli " TARNWICK_VERSION, "print the version and exit");

  const char* walk = "Walk";
  app.add_option("--scope", raw.scope,
                 "this folder only (default), the whole tree, or down to --levels")
      ->check(WordsOf(kScopes))
      ->type_name("this|tree|levels")
      ->group(walk);
  app.add_option("--levels", raw.levels, "deepest level walked with --scope levels; FOLDER is 1")
      ->type_name("TEXT")
      ->group(walk);
  app.add_option("--mask", raw.mask,
                 "file-name patterns such as \"*.txt|*.htm\" (default *.*; not kept\n"
                 "in the settings file)")
      ->type_name("TEXT")
      ->group(walk);
  app.add_option("--lister", raw.lister,
                 "find: one listing per pattern (default); mask: one listing, names tested")
      ->check(WordsOf(kListers))
      ->type_name("find|mask")
      ->group(walk);
  app.add_option("--exclude", line.job.excludes,
                 "leave out files and folders (with all they hold) whose name matches\n"
                 "the shell pattern GLOB; may be given several times")
      ->type_name("GLOB")
      // One value per flag: a list option would take the FOLDER that follows too.
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->group(walk);
  app.add_flag("--one-file-system", line.job.oneFileSystem,
               "do not enter folders on other file systems (mounts) than FOLDER's")
      ->group(walk);
  app.add_option("--threads", line.job.threads,
                 "threads for the work on the files, 1 to 1024 (default 0: one per\n"
                 "core); the output is the same whatever the number")
      ->check(CLI::Range(0U, 1024U).description(""))
      ->type_name("N")
      ->group(walk);
  app.add_option("--read-depth", line.job.reads.depth,
                 "reads of file content kept in flight at once, 1 to 1024 (default 0:\n"
                 "as suits the disk: 128, or 4 on a spinning disk); the\n"
                 "output is the same whatever the number")
      ->check(CLI::Range(0U, 1024U).description(""))
      ->type_name("N")
      ->group(walk);

  const char* content = "Content filter";
  app.add_option("--content", raw.content,
                 "keep files whose name (or content: see --in) contains TEXT")
      ->type_name("TEXT")
      ->group(content);
  app.add_flag("--without", raw.without, "keep files that do not contain it instead")
      ->group(content);
  app.add_option("--in", raw.in,
                 "test the file name (default), the content, or both (then both\n"
                 "must contain TEXT; with --without, neither may)")
      ->check(WordsOf(kPlaces))
      ->type_name("name|content|both")
      ->group(content);
  app.add_option("--mode", raw.mode,
                 "literal text with | alternatives (default), wildcards, or regex")
      ->check(WordsOf(kMatchModes))
      ->type_name("default|wildcard|regex")
      ->group(content);
  app.add_flag("--guess-encodings", raw.guessEncodings,
               "read text that has no byte-order mark or charset declaration and is not\n"
               "UTF-8 as the legacy encoding its bytes suggest (GB18030, Big5, Shift-JIS\n"
               "or EUC-KR) instead of as GBK; also for --encoding")
      ->group(content);

  const char* length = "Length filter";
  auto* size = app.add_option("--size", raw.size, "keep file sizes from LO to HI, in --unit")
                   ->check(kRangeShape)
                   ->type_name("LO:HI")
                   ->group(length);
  app.add_option("--chars", raw.chars, "keep character counts from LO to HI, in --unit")
      ->check(kRangeShape)
      ->type_name("LO:HI")
      ->excludes(size)
      ->group(length);
  app.add_option("--unit", raw.unit,
                 "unit of the range, default KB (个 十 百 千 万 are the same five)")
      ->check(WordsOf(kUnits))
      ->type_name("B|KB|MB|GB|TB")
      ->group(length);
  app.add_flag("--strip-tags", raw.stripTags,
               "remove HTML tags before counting characters (and before comparing\n"
               "texts with --dup text or similar)")
      ->group(length);
  app.add_flag("--strip-space", raw.stripSpace,
               "remove white space before counting characters (and before comparing\n"
               "texts with --dup text or similar)")
      ->group(length);

  const char* time = "Time filter";
  app.add_option("--time", raw.time, "keep files whose time of this kind is in range")
      ->check(WordsOf(kTimeKinds))
      ->type_name("created|modified|accessed")
      ->group(time);
  app.add_option("--compare", raw.compare, "compare the date, the time of day, or both (default)")
      ->check(WordsOf(kCompareModes))
      ->type_name("date|time|both")
      ->group(time);
  app.add_option("--from", raw.from, "start of the range, such as \"2012-12-21 12:12:12\"")
      ->type_name("TEXT")
      ->group(time);
  app.add_option("--to", raw.to, "end of the range")->type_name("TEXT")->group(time);

  const char* duplicates = "Duplicate filter";
  app.add_option("--dup", raw.dup,
                 "group the files that pass by content digest, size, name, the same\n"
                 "text in any encoding, or similar text (see --similarity)")
      ->check(WordsOf(kDuplicateKeys))
      ->type_name("md5|length|name|text|similar")
      ->group(duplicates);
  app.add_option("--similarity", raw.similarity,
                 "with --dup similar: how much (50 to 100 %, default 90) a file's text\n"
                 "must resemble its group's first file")
      ->check(CLI::Range(50.0, 100.0).description(""))
      ->type_name("P")
      ->group(duplicates);
  app.add_option("--dup-output", raw.dupOutput,
                 "list one, all, or all but one (default) of each group")
      ->check(WordsOf(kDuplicateOutputs))
      ->type_name("one|all|all-but-one")
      ->group(duplicates);

  const char* output = "Output";
  app.add_option("--format", raw.format,
                 "paths: one full path per line (default); rows: name, size, time,\n"
                 "character count and folder, joined by TAB; json: one JSON object\n"
                 "per line (see man tarnwick-cli)")
      ->check(WordsOf(kFormats))
      ->type_name("paths|rows|json")
      ->group(output);
  app.add_flag("-0,--print0", line.print0,
               "end each path (or row) with a NUL byte instead of a line feed")
      ->group(output);
  app.add_flag("-q,--quiet", line.quiet, "no summary and no progress on standard error")
      ->group(output);
  app.add_option("--encoding", line.encodingFiles,
                 "run no job: print each FILE's detected encoding, a TAB and its path")
      ->type_name("FILE")
      ->expected(0, -1)
      ->group(output);

  const char* cache = "Digest cache";
  app.add_flag("--no-cache", line.noCache,
               "with --dup md5: read the files without the digest cache, and leave it\n"
               "unchanged")
      ->group(cache);
  app.add_flag("--cache-info", line.cacheInfo,
               "run no job: print the digest cache's path, entry count and size")
      ->group(cache);
  app.add_flag("--clear-cache", line.clearCache, "run no job: remove every digest cache entry")
      ->group(cache);

  const char* settings = "Settings";
  auto* settingsFile =
      app.add_option("--settings", line.settingsFile,
                     "restore every option from FILE (as the window does) before the flags")
          ->type_name("FILE")
          ->group(settings);
  app.add_flag("--save-settings", line.saveSettings,
               "write the options, flags applied, into the --settings FILE and exit")
      ->needs(settingsFile)
      ->group(settings);

  app.footer(
      "Standard output carries only the results; the summary and, on a terminal, a progress\n"
      "line go to standard error. Ctrl-C stops the job like the stop button: the files found\n"
      "so far are printed and the duplicate groups listed; a second Ctrl-C while the first is\n"
      "still pending ends the program at once.\n"
      "Each folder or file that cannot be read (no permission, an I/O error) is named on\n"
      "standard error, as find does; -q leaves them out. So is a file a wildcard or regex\n"
      "pattern cannot be decided in within the 8 MiB a search may hold (a possible match\n"
      "runs longer): it is listed neither as holding the pattern nor as lacking it.\n"
      "Exit status: 0 when the job ran, 1 when some folder or file could not be read or\n"
      "searched or the output or the settings file could not be written, 2 for bad usage\n"
      "or a FOLDER that is not a folder, 130 when stopped by Ctrl-C.\n"
      "MD5 keys are kept in $XDG_CACHE_HOME/tarnwick/digests.sqlite (~/.cache/tarnwick/ by\n"
      "default) for the files they were read from, unchanged, so a job run again reads less.\n"
      "\n"
      "Examples:\n"
      "  tarnwick-cli --scope tree --mask '*.txt' --content 发票 ~/archive\n"
      "  tarnwick-cli --scope tree --dup md5 --dup-output all-but-one -0 ~/archive | xargs -0 ls "
      "-l\n"
      "  tarnwick-cli --scope tree --dup similar --similarity 80 --dup-output all --format json "
      "~/archive\n"
      "  tarnwick-cli --encoding notes.txt old/*.htm");
}

// Turns the raw flag values into option edits, in the order of the window's groups.
std::vector<OptionEdit> EditsOf(const CLI::App& app, const RawFlags& raw) {
  std::vector<OptionEdit> edits;
  const auto given = [&](const char* flag) { return app.count(flag) > 0; };
  const auto check = [&](Check c) {
    edits.push_back([c](OptionControls& o) { o.SetChecked(c, true); });
  };
  const auto text = [&](Field f, const std::string& value) {
    edits.push_back([f, value](OptionControls& o) { o.SetText(f, value); });
  };

  if (given("--scope")) check(ValueOf(kScopes, raw.scope));
  if (given("--levels")) text(Field::Levels, raw.levels);
  if (given("--mask")) text(Field::NameMask, raw.mask);

  if (given("--content")) {
    check(Check::ContentFilter);
    text(Field::ContentPattern, raw.content);
  }
  if (raw.without) check(Check::LacksContent);
  if (given("--in")) {
    const Places places = ValueOf(kPlaces, raw.in);
    edits.push_back([places](OptionControls& o) {
      o.SetChecked(Check::InName, places.name);
      o.SetChecked(Check::InContent, places.content);
    });
  }
  if (given("--mode")) {
    const int mode = ValueOf(kMatchModes, raw.mode);
    edits.push_back([mode](OptionControls& o) { o.SetMatchModeIndex(mode); });
  }

  for (const auto& [flag, value, measure] :
       {std::tuple{"--size", &raw.size, Check::MeasureSize},
        std::tuple{"--chars", &raw.chars, Check::MeasureChars}}) {
    if (!given(flag)) continue;
    const auto range = SplitRange(*value);
    check(Check::LengthFilter);
    check(measure);
    text(Field::LengthFrom, range->low);
    text(Field::LengthTo, range->high);
  }
  if (given("--unit")) check(ValueOf(kUnits, raw.unit));
  if (raw.stripTags) check(Check::StripTags);
  if (raw.guessEncodings) check(Check::GuessEncodings);
  if (raw.stripSpace) check(Check::StripSpace);

  if (given("--time")) {
    check(Check::TimeFilter);
    check(ValueOf(kTimeKinds, raw.time));
  }
  if (given("--compare")) check(ValueOf(kCompareModes, raw.compare));
  if (given("--from")) text(Field::TimeFrom, raw.from);
  if (given("--to")) text(Field::TimeTo, raw.to);

  if (given("--dup")) {
    check(Check::DuplicateFilter);
    check(ValueOf(kDuplicateKeys, raw.dup));
  }
  if (given("--dup-output")) check(ValueOf(kDuplicateOutputs, raw.dupOutput));
  if (given("--similarity")) text(Field::Similarity, raw.similarity);
  return edits;
}

int UsageError(const std::string& message) {
  ReportError(message + "\nRun with --help for more information.");
  return 2;
}

}  // namespace

std::optional<int> ParseCommandLine(int argc, char** argv, CommandLine& out) {
  CLI::App app;
  app.name("tarnwick-cli");
  RawFlags raw;
  Describe(app, out, raw);
  // Everything after "--" is a FOLDER or, with --encoding, a FILE, even when it starts
  // with "-": only the words before it are options.
  const std::vector<std::string> words(argv + 1, argv + argc);
  const auto end = std::find(words.begin(), words.end(), "--");
  std::vector<std::string> options(words.begin(), end);
  const std::vector<std::string> operands(end == words.end() ? end : end + 1, words.end());
  std::reverse(options.begin(), options.end());  // CLI11 reads the list from its back
  try {
    app.parse(options);
  } catch (const CLI::Success& helpOrVersion) {
    const int status = app.exit(helpOrVersion);
    if (std::cout.flush()) return status;
    ReportError("cannot write to standard output");
    return 1;
  } catch (const CLI::ParseError& error) {
    return UsageError(error.what());
  }

  out.encodingReport = app.count("--encoding") > 0;
  out.guessEncodings = raw.guessEncodings;
  if (out.encodingReport) {
    if (!out.folder.empty()) {
      return UsageError("--encoding runs no job, but a FOLDER was given: " + out.folder);
    }
    out.encodingFiles.insert(out.encodingFiles.end(), operands.begin(), operands.end());
    // A bare --encoding holds one empty value; no file has an empty name.
    std::erase(out.encodingFiles, "");
    if (out.encodingFiles.empty()) return UsageError("--encoding needs at least one FILE");
  } else if (!operands.empty()) {
    if (!out.folder.empty() || operands.size() > 1) {
      return UsageError("only one FOLDER may be given, not also: " + operands.back());
    }
    out.folder = operands.front();
  }
  const bool cacheCommand = out.cacheInfo || out.clearCache;
  if (cacheCommand && !out.folder.empty()) {
    return UsageError("--cache-info and --clear-cache run no job, but a FOLDER was given: " +
                      out.folder);
  }
  if (!out.encodingReport && !out.saveSettings && !cacheCommand && out.folder.empty()) {
    return UsageError("FOLDER is required");
  }
  out.lister = ValueOf(kListers, raw.lister);
  out.format = ValueOf(kFormats, raw.format);
  out.edits = EditsOf(app, raw);
  out.nameMaskGiven = app.count("--mask") > 0;
  return std::nullopt;
}

void ApplyOptionFlags(const CommandLine& line, OptionControls& options) {
  for (const OptionEdit& edit : line.edits) edit(options);
}

}  // namespace tarnwick::cli
