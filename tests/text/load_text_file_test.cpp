// Reading files from disk: which files are read at all.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/file_ref.h"
#include "tests/text/temp_folder.h"
#include "text/text_loader.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

using testing::TempFolder;

const std::string kUtf8Sample = "\xE4\xB8\xAD\xE6\x96\x87 text";

void ExpectUnreadable(const DecodedText& decoded, const std::string& what) {
  EXPECT_EQ(decoded.text, "") << what;
  EXPECT_EQ(decoded.encoding, 0) << what;
}

// The buffers are reused from file to file: nothing of one file may show in the next.
TEST(LoadTextFile, EachFileReadsAsItsBytesDecodeWhateverCameBefore) {
  TempFolder folder;
  const std::string longer = folder.Create("long.txt", std::string(300000, 'x') + kUtf8Sample);
  const std::string shorter = folder.Create("short.txt", kUtf8Sample);
  const std::string empty = folder.Create("empty.txt", "");
  EXPECT_EQ(LoadTextFile(longer).text.size(), 300000u + 4 + 5);
  const DecodedText loaded = LoadTextFile(shorter);
  EXPECT_EQ(loaded.text, DecodeTextBytes(kUtf8Sample).text);
  EXPECT_EQ(loaded.encoding, static_cast<int>(TextEncoding::Utf8));
  EXPECT_EQ(LoadTextFile(empty).encoding, static_cast<int>(TextEncoding::Ansi));
  const DecodedText missing = LoadTextFile(folder.Path("missing.txt"));
  EXPECT_EQ(missing.text, "");
  EXPECT_EQ(missing.encoding, 0);
  EXPECT_EQ(LoadTextFile(shorter).text, loaded.text);
}

// Opening for writing would make every read-only file read as empty text; a link reads
// its target.
TEST(LoadTextFile, ReadOnlyFileAndLinkToAFileAreRead) {
  TempFolder folder;
  const std::string path = folder.Create("read-only.txt", "plain");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(LoadTextFile(path).text, "plain");
  std::filesystem::create_symlink(path, folder.Path("link.txt"));
  EXPECT_EQ(LoadTextFile(folder.Path("link.txt")).text, "plain");
}

// A FIFO without a writer would block a blocking open or read for ever.
TEST(LoadTextFile, FifosDevicesFoldersAndUnreadableFilesAreNeverRead) {
  TempFolder folder;
  const std::string fifo = folder.Path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ExpectUnreadable(LoadTextFile(fifo), fifo);
  ExpectUnreadable(LoadTextFile("/dev/zero"), "/dev/zero");
  ExpectUnreadable(LoadTextFile(folder.Path("")), "a folder");
  ExpectUnreadable(LoadTextFile(folder.Path("missing.txt")), "a missing file");
  if (geteuid() == 0) return;  // root reads every file
  const std::string secret = folder.Create("secret.txt", "plain");
  ASSERT_EQ(chmod(secret.c_str(), 0), 0);
  ExpectUnreadable(LoadTextFile(secret), secret);
}

// A name its folder's listing saw as a regular file is opened without a look first; if
// it has become a FIFO since, the open must neither wait for a writer nor read it.
TEST(LoadTextFile, FifoInThePlaceOfAListedRegularFileIsNotWaitedFor) {
  TempFolder folder;
  const std::string fifo = folder.Path("was-a-file.txt");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Nothing final : TextConsumer {
    void Begin(TextForm) override {}
    bool Take(std::string_view) override { return false; }
    void End() override {}
  } consumer;
  platform::FileRef file = platform::FileAtPath(fifo);
  file.listedRegular = true;
  const StreamOutcome outcome = StreamFileText(file, consumer);
  EXPECT_EQ(outcome.status, StreamOutcome::Status::Skipped);
  EXPECT_EQ(outcome.encoding, 0);
}

// /proc reports a size of 0 for files that have content: reading goes on to the end.
TEST(LoadTextFile, FileLongerThanItsReportedSizeIsReadWhole) {
  const DecodedText loaded = LoadTextFile("/proc/self/status");
  EXPECT_NE(loaded.text.find("Name:"), std::string::npos);
  EXPECT_NE(loaded.text.find("VmSize:"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick
