// make_corpus: writes the benchmark corpus of bench/compare, deterministically (the same
// seed gives the same bytes, names and times on every run).
//
//   make_corpus [--scale F] [--only PART] [--seed N] DIR
//
//   DIR/tree       ~200,000 files in ~10,000 folders, depth up to 8, sizes log-uniform
//                  from 100 B to 20 KB: ASCII text, UTF-8 / GBK / Big5 Chinese, UTF-16
//                  with byte-order marks, binary, exact duplicates; the search word
//                  "quillwort" (any letter case) in about 1 % of the text files
//   DIR/big        ~40 files of 20 to 190 MB (~3 GB), ASCII and UTF-8 text
//   DIR/same-size  ten files of 150 MB each, so a duplicate search must hash them all
//   DIR/same-size-different  24 files of 48 MiB, one size, two real pairs: the rest
//                  differ near their start, in their middle or at their end
//   DIR/same-size-random  24 files of 48 MiB, one size, random bytes, two real pairs:
//                  the first 64 KiB already tell all but the pairs apart
//   DIR/million    1,000,000 small files (0 to 400 B) in 20,000 folders, for listing
//                  and the duplicate search by length
//   DIR/huge       one text file of 4.5 GiB, the search word only at its very end
//   DIR/near       ~2,000 texts in ~400 families: each family's copies of one text with
//                  0 to 30 % of its characters edited, in mixed encodings and line ends,
//                  under random names; DIR/near.manifest names each file's family and
//                  edited share (for bench/similarity_check)
//
// PART is one of tree, big, same-size, same-size-different, same-size-random, million,
// huge, near. The default makes the first three; the others are made only when named.
//
// --scale multiplies every count and every big size (0.01 gives a quick corpus).

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kSearchWord = "quillwort";

// splitmix64: small, fast and the same on every machine.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  bool Chance(double p) { return Unit() < p; }
  // Log-uniform between lo and hi.
  std::size_t LogUniform(double lo, double hi) {
    return static_cast<std::size_t>(
        std::exp(std::log(lo) + Unit() * (std::log(hi) - std::log(lo))));
  }

 private:
  std::uint64_t state_;
};

const char* const kWords[] = {
    "the",     "archive", "report",  "folder", "meeting", "budget",  "project",  "review",
    "summary", "notes",   "draft",   "final",  "policy",  "invoice", "contract", "letter",
    "data",    "table",   "figure",  "about",  "which",   "their",   "would",    "there",
    "market",  "annual",  "office",  "region", "supply",  "account", "customer", "service",
    "quality", "plan",    "minutes", "agenda", "version", "update",  "request",  "approval",
    "and",     "of",      "to",      "in",     "for",     "on",      "with",     "by"};

// Common characters, simplified (GBK, UTF-8) and traditional (Big5).
constexpr std::string_view kSimplified =
    "的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学对可"
    "里"
    "后小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面公同三已老"
    "从"
    "动两长知民样现分将外但身些与高意进把法此实回二理美点月明其种声全工己话儿者向情部正名定女问力机"
    "给"
    "等几很业最间新什打便位因重被走电四第门相次东政海口使教西再平真听世气信北少关并内加化由却代军产"
    "入"
    "先山五太水万市眼体别处总才场师书比住员九笑性通目华报立马命张活难神数件安表原车白应路期叫死常提"
    "感"
    "金何更反合放做系计或司利受光王果亲界及今京务制解各任至清物台象记边共风战干接它许八特觉望直服毛"
    "林"
    "题建南度统色字请交爱让认算论百吃义科怎元社术结六功指思非流每青管夫连远资队跟带花快条院变联言权"
    "往"
    "展该领传近留红治决周保达办运武半候七必城父强步完革深区即求品士转量空甚众技轻程告江语英基派满式"
    "李";
constexpr std::string_view kTraditional =
    "的一是不了人我在有他這中大來上國個到說們為子和你地出道也時年得就那要下以生會自著去之過家學對可"
    "裡"
    "後小麼心多天而能好都然沒日於起還發成事只作當想看文無開手十用主行方又如前所本見經頭面公同三已老"
    "從"
    "動兩長知民樣現分將外但身些與高意進把法此實回二理美點月明其種聲全工己話兒者向情部正名定女問力機"
    "給"
    "等幾很業最間新什打便位因重被走電四第門相次東政海口使教西再平真聽世氣信北少關並內加化由卻代軍產"
    "入";
constexpr std::string_view kChinesePunctuation[] = {"，", "。", "、", "；", "：", "！"};

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

std::size_t Utf8Length(char lead) {
  const unsigned char byte = static_cast<unsigned char>(lead);
  return byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
}

// Removes a UTF-8 character cut short at the end of `text`.
void DropPartialCharacter(std::string& text) {
  std::size_t start = text.size();
  while (start > 0 && IsContinuation(text[start - 1])) --start;
  if (start == 0) return;
  --start;
  if (text.size() - start < Utf8Length(text[start])) text.resize(start);
}

std::vector<std::string> SplitUtf8(std::string_view text) {
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8Length(text[i]);
    characters.emplace_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

// Converts UTF-8 text with iconv; empty when a character has no form in `to`.
std::string Convert(const std::string& text, const char* to) {
  iconv_t cd = iconv_open(to, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::cerr << "make_corpus: iconv has no " << to << '\n';
    std::exit(1);
  }
  std::string out(text.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) return "";
  out.resize(out.size() - outLeft);
  return out;
}

// Lines of text of the wanted size, made of words or Chinese characters, with the
// search word put in once when asked.
class TextMaker {
 public:
  explicit TextMaker(Random& random) : random_(random), traditional_(SplitUtf8(kTraditional)) {
    for (const std::string& character : SplitUtf8(kSimplified)) {
      if (!Convert(character, "GBK").empty()) simplified_.push_back(character);
    }
    // Keep only the traditional characters that Big5 can write.
    std::erase_if(traditional_, [](const std::string& c) { return Convert(c, "BIG5").empty(); });
  }

  std::string Ascii(std::size_t size, bool withWord) {
    std::string text;
    text.reserve(size + 16);
    std::size_t lineStart = 0;
    while (text.size() < size) {
      text += kWords[random_.Below(std::size(kWords))];
      if (text.size() - lineStart > 72) {
        text += "\r\n";
        lineStart = text.size();
      } else {
        text += ' ';
      }
    }
    text.resize(size);
    if (withWord) PutWord(text);
    return text;
  }

  std::string Chinese(std::size_t utf8Size, bool traditional, bool withWord) {
    const std::vector<std::string>& characters = traditional ? traditional_ : simplified_;
    std::string text;
    text.reserve(utf8Size + 16);
    int column = 0;
    while (text.size() < utf8Size) {
      if (random_.Chance(0.08)) {
        text += kChinesePunctuation[random_.Below(std::size(kChinesePunctuation))];
      } else if (random_.Chance(0.03)) {
        text += kWords[random_.Below(std::size(kWords))];
      } else {
        text += characters[random_.Below(characters.size())];
      }
      if (++column == 36) {
        text += "\r\n";
        column = 0;
      }
    }
    if (withWord) PutWord(text);
    return text;
  }

 private:
  // Puts the search word between two characters, in one of three letter cases.
  void PutWord(std::string& text) {
    static const char* const kForms[] = {"quillwort", "Quillwort", "QUILLWORT"};
    std::size_t at = random_.Below(text.size() + 1);
    while (at > 0 && at < text.size() && IsContinuation(text[at])) --at;
    text.insert(at, std::string(" ") + kForms[random_.Below(3)] + " ");
  }

  Random& random_;
  std::vector<std::string> simplified_;
  std::vector<std::string> traditional_;
};

void WriteFile(const std::string& path, std::string_view bytes, std::int64_t mtime) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      std::perror(path.c_str());
      std::exit(1);
    }
    done += static_cast<std::size_t>(n);
  }
  const timespec times[2] = {{mtime, 0}, {mtime, 0}};
  futimens(fd, times);
  ::close(fd);
}

// A modification time between 2010 and 2020.
std::int64_t SomeTime(Random& random) {
  return 1262304000 + static_cast<std::int64_t>(random.Below(10ull * 365 * 86400));
}

struct Kind {
  const char* name;
  double share;  // of the files that are not duplicates
};

void MakeTree(const std::string& dir, double scale, Random& random) {
  const std::size_t fileCount = static_cast<std::size_t>(200000 * scale);
  const std::size_t folderCount = std::max<std::size_t>(1, static_cast<std::size_t>(10000 * scale));
  TextMaker maker(random);

  // Folders: each hangs under an earlier one that is less than 8 levels deep.
  std::vector<std::string> folders{dir};
  std::vector<int> depth{1};
  std::filesystem::create_directories(dir);
  for (std::size_t i = 1; i < folderCount; ++i) {
    std::size_t parent = random.Below(folders.size());
    while (depth[parent] >= 8) parent = random.Below(folders.size());
    const bool chineseName = random.Chance(0.1);
    folders.push_back(folders[parent] + "/" + (chineseName ? "资料" : "dir") + std::to_string(i));
    depth.push_back(depth[parent] + 1);
    std::filesystem::create_directory(folders.back());
  }

  enum { Ascii, Utf8, Gbk, Big5, Utf16, Binary };
  const Kind kinds[] = {{"ascii", 76}, {"utf8", 10},   {"gbk", 5},
                        {"big5", 1},   {"utf16", 2.5}, {"binary", 5}};
  const char* const kTextExtensions[] = {".txt", ".txt", ".txt", ".TXT",
                                         ".htm", ".log", ".md",  ".csv"};
  std::vector<std::string> written;  // paths, for the duplicates
  std::size_t counts[6] = {}, withWord = 0, duplicates = 0;
  for (std::size_t i = 0; i < fileCount; ++i) {
    const std::string& folder = folders[random.Below(folders.size())];
    const std::string stem =
        folder + "/" + (random.Chance(0.1) ? "文档" : "file") + std::to_string(i);
    const std::int64_t mtime = SomeTime(random);

    if (!written.empty() && random.Chance(0.03)) {
      const std::string& original = written[random.Below(written.size())];
      const std::string extension = std::filesystem::path(original).extension().string();
      std::filesystem::copy_file(original, stem + extension);
      ++duplicates;
      continue;
    }

    double pick = random.Unit() * 99.5;
    int kind = 0;
    while (kind < Binary && pick >= kinds[kind].share) pick -= kinds[kind++].share;
    const std::size_t size = random.LogUniform(100, 20000);
    const bool word = kind != Binary && random.Chance(0.01);
    std::string bytes;
    std::string extension = kTextExtensions[random.Below(std::size(kTextExtensions))];
    switch (kind) {
      case Ascii:
        bytes = maker.Ascii(size, word);
        break;
      case Utf8:
        bytes = maker.Chinese(size, false, word);
        if (extension == ".htm")
          bytes = "<html><head><meta charset=\"utf-8\"></head><body>\r\n" + bytes;
        break;
      case Gbk:
        bytes = Convert(maker.Chinese(size * 3 / 2, false, word), "GBK");
        break;
      case Big5:
        extension = ".htm";
        bytes = "<html><head><meta charset=\"big5\"></head><body>\r\n" +
                Convert(maker.Chinese(size * 3 / 2, true, word), "BIG5");
        break;
      case Utf16: {
        const bool little = random.Chance(0.5);
        bytes = std::string(little ? "\xFF\xFE" : "\xFE\xFF") +
                Convert(maker.Chinese(size * 3 / 2, false, word), little ? "UTF-16LE" : "UTF-16BE");
        break;
      }
      default:
        bytes.resize(size);
        for (char& byte : bytes) byte = static_cast<char>(random.Next());
        extension = random.Chance(0.5) ? ".bin" : ".dat";
    }
    const std::string path = stem + extension;
    WriteFile(path, bytes, mtime);
    written.push_back(path);
    ++counts[kind];
    withWord += word;
  }
  std::cout << "tree: " << fileCount << " files in " << folderCount << " folders (";
  for (int k = 0; k < 6; ++k) std::cout << kinds[k].name << ' ' << counts[k] << ", ";
  std::cout << "duplicates " << duplicates << "), search word in " << withWord << " files\n";
}

void MakeBig(const std::string& dir, double scale, Random& random) {
  std::filesystem::create_directories(dir);
  TextMaker maker(random);
  // One pool of each kind; every file is cut from a pool at a random offset, which
  // keeps the generation fast without making the files identical.
  const std::size_t pool = 8u << 20;
  const std::string ascii = maker.Ascii(pool, false);
  const std::string chinese = maker.Chinese(pool, false, false);
  const std::size_t count = std::max<std::size_t>(1, static_cast<std::size_t>(40 * scale));
  std::size_t total = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t size =
        static_cast<std::size_t>(random.LogUniform(20e6, 190e6) * std::min(1.0, scale * 4));
    const bool isChinese = random.Chance(0.4);
    const std::string& source = isChinese ? chinese : ascii;
    std::string bytes;
    bytes.reserve(size + 64);
    while (bytes.size() < size) {
      std::size_t from = random.Below(source.size() / 2);
      while (IsContinuation(source[from])) ++from;
      bytes.append(source, from, std::min(size - bytes.size(), source.size() - from));
    }
    DropPartialCharacter(bytes);
    // A quarter of the files hold the word, somewhere in their second half.
    if (random.Chance(0.25)) {
      std::size_t at = size / 2 + random.Below(size / 2);
      while (IsContinuation(bytes[at])) --at;
      bytes.insert(at, " Quillwort ");
    }
    WriteFile(dir + "/big" + std::to_string(i) + (isChinese ? "-utf8.txt" : ".txt"), bytes,
              SomeTime(random));
    total += bytes.size();
  }
  std::cout << "big: " << count << " files, " << total / 1000000 << " MB\n";
}

void MakeSameSize(const std::string& dir, double scale, Random& random) {
  std::filesystem::create_directories(dir);
  const std::size_t size = static_cast<std::size_t>(150e6 * std::min(1.0, scale * 4));
  std::string bytes(size, '\0');
  for (int i = 0; i < 10; ++i) {
    // Files 8 and 9 repeat files 0 and 1: the search has something to find.
    if (i < 8) {
      Random fill(random.Next());
      for (std::size_t at = 0; at + 8 <= size; at += 8) {
        const std::uint64_t value = fill.Next();
        std::memcpy(bytes.data() + at, &value, 8);
      }
    }
    if (i == 8) std::filesystem::copy_file(dir + "/same0.dat", dir + "/same8.dat");
    if (i == 9) std::filesystem::copy_file(dir + "/same1.dat", dir + "/same9.dat");
    if (i < 8) WriteFile(dir + "/same" + std::to_string(i) + ".dat", bytes, SomeTime(random));
  }
  std::cout << "same-size: 10 files of " << size / 1000000 << " MB\n";
}

// Twenty-four files of one size. Files 22 and 23 copy files 0 and 1: two real pairs. The others differ from file 0 in one 4 KiB block only: near the
// start, in the middle or at the end, so every shortcut of a duplicate search is tried.
void MakeSameSizeDifferent(const std::string& dir, double scale, Random& random) {
  std::filesystem::create_directories(dir);
  const std::size_t size = static_cast<std::size_t>((48u << 20) * std::min(1.0, scale * 4)) & ~std::size_t{4095};
  std::string bytes(size, '\0');
  Random fill(random.Next());
  for (std::size_t at = 0; at + 8 <= size; at += 8) {
    const std::uint64_t value = fill.Next();
    std::memcpy(bytes.data() + at, &value, 8);
  }
  const std::size_t blocks = size / 4096;
  for (int i = 0; i < 22; ++i) {
    std::string copy = bytes;
    if (i > 0) {
      const std::size_t places[] = {random.Below(blocks / 64 + 1), blocks / 2 + random.Below(blocks / 8 + 1),
                                    blocks - 1 - random.Below(blocks / 64 + 1)};
      const std::size_t block = places[i % 3];
      for (std::size_t at = block * 4096; at + 8 <= (block + 1) * 4096; at += 8) {
        const std::uint64_t value = random.Next();
        std::memcpy(copy.data() + at, &value, 8);
      }
    }
    WriteFile(dir + "/same" + std::to_string(i) + ".dat", copy, SomeTime(random));
  }
  std::filesystem::copy_file(dir + "/same0.dat", dir + "/same22.dat");
  std::filesystem::copy_file(dir + "/same1.dat", dir + "/same23.dat");
  std::cout << "same-size-different: 24 files of " << size / 1048576 << " MiB\n";
}

// Twenty-four files of random bytes, one size; files 22 and 23 copy files 0 and 1.
void MakeSameSizeRandom(const std::string& dir, double scale, Random& random) {
  std::filesystem::create_directories(dir);
  const std::size_t size = static_cast<std::size_t>((48u << 20) * std::min(1.0, scale * 4)) & ~std::size_t{4095};
  std::string bytes(size, '\0');
  for (int i = 0; i < 22; ++i) {
    for (std::size_t at = 0; at + 8 <= size; at += 8) {
      const std::uint64_t value = random.Next();
      std::memcpy(bytes.data() + at, &value, 8);
    }
    WriteFile(dir + "/random" + std::to_string(i) + ".dat", bytes, SomeTime(random));
  }
  std::filesystem::copy_file(dir + "/random0.dat", dir + "/random22.dat");
  std::filesystem::copy_file(dir + "/random1.dat", dir + "/random23.dat");
  std::cout << "same-size-random: 24 files of " << size / 1048576 << " MiB\n";
}

// A million small files, for the jobs whose cost is the walk itself.
void MakeMillion(const std::string& dir, double scale, Random& random) {
  const std::size_t fileCount = static_cast<std::size_t>(1000000 * scale);
  const std::size_t folderCount = std::max<std::size_t>(1, fileCount / 50);
  std::vector<std::string> folders{dir};
  std::filesystem::create_directories(dir);
  for (std::size_t i = 1; i < folderCount; ++i) {
    folders.push_back(folders[random.Below(folders.size())] + "/d" + std::to_string(i));
    std::filesystem::create_directory(folders.back());
  }
  std::string bytes;
  for (std::size_t i = 0; i < fileCount; ++i) {
    bytes.assign(random.Below(401), 'x');
    WriteFile(folders[random.Below(folders.size())] + "/f" + std::to_string(i) + ".txt", bytes,
              SomeTime(random));
  }
  std::cout << "million: " << fileCount << " files in " << folderCount << " folders\n";
}

// 4.5 GiB of ASCII text lines with the search word only at the very end: a content
// search must read past every 32-bit size to find it, and count past 2^32 characters.
// Not sparse: holes read as zero bytes, and a text ends at its first zero.
void MakeHuge(const std::string& dir, Random& random) {
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/huge.txt";
  TextMaker maker(random);
  std::string block = maker.Ascii(1u << 20, false);
  DropPartialCharacter(block);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  const std::uint64_t target = std::uint64_t{9} << 29;
  std::uint64_t written = 0;
  while (written + block.size() <= target) {
    for (std::size_t done = 0; done < block.size();) {
      const ssize_t n = ::write(fd, block.data() + done, block.size() - done);
      if (n <= 0) {
        std::perror(path.c_str());
        std::exit(1);
      }
      done += static_cast<std::size_t>(n);
    }
    written += block.size();
  }
  const std::string tail = std::string(" ") + kSearchWord + "\r\n";
  if (::write(fd, tail.data(), tail.size()) != static_cast<ssize_t>(tail.size())) {
    std::perror(path.c_str());
    std::exit(1);
  }
  ::close(fd);
  std::cout << "huge: one text file of " << (written + tail.size()) / 1048576 << " MiB\n";
}

// Characters replaced, inserted or taken out, in runs of 1 to 8, until `share` of the
// text's characters have been touched; the new ones come from the text itself.
std::vector<std::string> Edited(std::vector<std::string> text, double share, Random& random) {
  if (text.empty()) return text;
  const std::vector<std::string> pool = text;
  auto left = static_cast<std::size_t>(share * static_cast<double>(text.size()));
  while (left > 0 && !text.empty()) {
    const std::size_t run = std::min<std::size_t>(left, 1 + random.Below(8));
    const std::size_t at = random.Below(text.size());
    const std::size_t end = std::min(text.size(), at + run);
    switch (random.Below(3)) {
      case 0:
        for (std::size_t i = at; i < end; ++i) text[i] = pool[random.Below(pool.size())];
        break;
      case 1:
        for (std::size_t i = 0; i < run; ++i)
          text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), pool[random.Below(pool.size())]);
        break;
      default:
        text.erase(text.begin() + static_cast<std::ptrdiff_t>(at),
                   text.begin() + static_cast<std::ptrdiff_t>(end));
    }
    left -= run;
  }
  return text;
}

// Families of near-duplicate texts for the precision and recall of the duplicate
// filter's 相似: walk order and family are unrelated, and so are encoding and family.
void MakeNear(const std::string& dir, double scale, Random& random) {
  const std::size_t families = std::max<std::size_t>(1, static_cast<std::size_t>(400 * scale));
  const std::size_t folderCount = std::max<std::size_t>(1, families / 20);
  std::filesystem::create_directories(dir);
  for (std::size_t i = 0; i < folderCount; ++i)
    std::filesystem::create_directories(dir + "/d" + std::to_string(i));
  TextMaker maker(random);
  std::string manifest;
  std::size_t files = 0;
  for (std::size_t family = 0; family < families; ++family) {
    const bool chinese = random.Chance(0.5);
    const std::size_t size = random.LogUniform(500, 20000);
    std::string base = chinese ? maker.Chinese(size, false, false) : maker.Ascii(size, false);
    base.erase(std::remove(base.begin(), base.end(), '\r'), base.end());
    const std::vector<std::string> characters = SplitUtf8(base);
    const std::size_t copies = 2 + random.Below(7);
    for (std::size_t copy = 0; copy < copies; ++copy) {
      // A fifth of the copies are the text itself, in another encoding.
      const double share = random.Chance(0.2) ? 0.0 : random.Unit() * 0.3;
      std::string text;
      for (const std::string& c : Edited(characters, share, random)) text += c;
      if (random.Chance(0.5)) {
        std::string crlf;
        for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        text = crlf;
      }
      std::string bytes;
      switch (random.Below(5)) {
        case 0:
          bytes = text;
          break;
        case 1:
          bytes = "\xEF\xBB\xBF" + text;
          break;
        case 2:
          bytes = Convert(text, "GBK");
          break;
        case 3:
          bytes = "\xFF\xFE" + Convert(text, "UTF-16LE");
          break;
        default:
          bytes = "\xFE\xFF" + Convert(text, "UTF-16BE");
      }
      if (bytes.empty()) bytes = text;  // a character GBK cannot write: UTF-8 then
      const std::string name = "d" + std::to_string(random.Below(folderCount)) + "/n" +
                               std::to_string(random.Next() % 1000000000) + ".txt";
      WriteFile(dir + "/" + name, bytes, SomeTime(random));
      char edited[16];
      std::snprintf(edited, sizeof edited, "%.1f", share * 100);
      manifest += name + "\t" + std::to_string(family) + "\t" + edited + "\n";
      ++files;
    }
  }
  WriteFile(dir + ".manifest", manifest, SomeTime(random));
  std::cout << "near: " << files << " files in " << families << " families\n";
}

int Usage() {
  std::cerr << "usage: make_corpus [--scale F] [--only PART] [--seed N] DIR\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  double scale = 1.0;
  std::string only, dir;
  std::uint64_t seed = 20121221;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--scale" && i + 1 < argc) {
      scale = std::atof(argv[++i]);
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (arg == "--seed" && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (!arg.empty() && arg[0] != '-' && dir.empty()) {
      dir = arg;
    } else {
      return Usage();
    }
  }
  if (dir.empty() || scale <= 0) return Usage();
  if (std::filesystem::exists(dir + "/tree") && (only.empty() || only == "tree")) {
    std::cerr << "make_corpus: " << dir << "/tree exists; remove it first\n";
    return 1;
  }
  // Each part has its own stream, so one can be made again alone, identically.
  if (only.empty() || only == "tree") {
    Random random(seed);
    MakeTree(dir + "/tree", scale, random);
  }
  if (only.empty() || only == "big") {
    Random random(seed + 1);
    MakeBig(dir + "/big", scale, random);
  }
  if (only.empty() || only == "same-size") {
    Random random(seed + 2);
    MakeSameSize(dir + "/same-size", scale, random);
  }
  if (only == "same-size-different") {
    Random random(seed + 3);
    MakeSameSizeDifferent(dir + "/same-size-different", scale, random);
  }
  if (only == "same-size-random") {
    Random random(seed + 6);
    MakeSameSizeRandom(dir + "/same-size-random", scale, random);
  }
  if (only == "million") {
    Random random(seed + 4);
    MakeMillion(dir + "/million", scale, random);
  }
  if (only == "huge") {
    Random random(seed + 5);
    MakeHuge(dir + "/huge", random);
  }
  if (only == "near") {
    Random random(seed + 6);
    MakeNear(dir + "/near", scale, random);
  }
  return 0;
}
