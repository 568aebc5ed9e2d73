// Guessing the legacy encoding of text with no mark, no declaration and not UTF-8, when
// asked: Big5, GBK, Shift-JIS and EUC-KR samples read in their own encodings, in any
// piece size; marks, declarations and UTF-8 decide as before; without the guess every
// answer is the one the loader has always given.

#include "text/legacy_guess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/iconv_converter.h"
#include "tests/text/whole_text_decoder.h"
#include "text/byte_source.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

const std::string kSimplified =
    "本公司于二零一三年三月与对方签订了采购合同，合同金额为人民币五十万元。"
    "根据合同约定，对方应在收到发票后三十日内付款。财务部门已经核对了全部发票，"
    "并将付款申请提交给总经理审批。请各部门注意保管好相关文件和档案。\n";
const std::string kTraditional =
    "本公司於二零一三年三月與對方簽訂了採購合同，合同金額為新台幣五十萬元。"
    "根據合同約定，對方應在收到發票後三十日內付款。財務部門已經核對了全部發票，"
    "並將付款申請提交給總經理審批。請各部門注意保管好相關文件和檔案。\n";
const std::string kJapanese =
    "本日の会議では、来年度の予算と新しい製品の開発計画について話し合いました。"
    "担当者は来週までに報告書を作成し、部長に提出してください。よろしくお願いします。\n";
const std::string kKorean =
    "오늘 회의에서는 내년도 예산과 새로운 제품 개발 계획에 대해 논의했습니다. "
    "담당자는 다음 주까지 보고서를 작성하여 부장님께 제출해 주시기 바랍니다. 감사합니다.\n";

std::string Encoded(const std::string& utf8, const char* encoding) {
  return platform::ConvertStrict(utf8, "UTF-8", encoding).value();
}

std::string ProgramText(const std::string& utf8) { return Encoded(utf8, "GB18030"); }

class WholeText final : public TextConsumer {
 public:
  void Begin(TextForm form) override {
    text.clear();
    utf8 = form == TextForm::Utf8;
  }
  bool Take(std::string_view piece) override {
    text.append(piece);
    return false;
  }
  void End() override {}
  std::string text;
  bool utf8 = false;
};

DecodedText Decode(std::string_view bytes, bool guess, std::size_t pieceSize = kPieceSize) {
  MemorySource source(bytes);
  WholeText whole;
  StreamSettings settings;
  settings.pieceSize = pieceSize;
  settings.guessEncodings = guess;
  const StreamOutcome outcome = StreamText(source, whole, settings);
  return {whole.text, outcome.encoding};
}

struct Sample {
  const char* name;
  std::string bytes;
  TextEncoding guessed;
  std::string text;  // the program's text of the guessed reading
};

std::vector<Sample> Samples() {
  return {
      {"Big5", Encoded(kTraditional, "BIG5"), TextEncoding::Big5, ProgramText(kTraditional)},
      {"GBK", Encoded(kSimplified, "GBK"), TextEncoding::Gb18030, Encoded(kSimplified, "GBK")},
      {"Shift-JIS", Encoded(kJapanese, "SHIFT_JIS"), TextEncoding::ShiftJis,
       ProgramText(kJapanese)},
      {"EUC-KR", Encoded(kKorean, "EUC-KR"), TextEncoding::EucKr, ProgramText(kKorean)},
  };
}

TEST(LegacyGuess, EachSampleReadsInItsOwnEncodingInAnyPieceSize) {
  for (const Sample& sample : Samples()) {
    for (const std::size_t piece : {std::size_t{5}, std::size_t{64}, kPieceSize}) {
      const DecodedText decoded = Decode(sample.bytes, true, piece);
      EXPECT_EQ(decoded.encoding, static_cast<int>(sample.guessed)) << sample.name << " " << piece;
      EXPECT_EQ(decoded.text, sample.text) << sample.name << " " << piece;
    }
    EXPECT_STREQ(DisplayName(static_cast<int>(sample.guessed)),
                 std::string(sample.name) == "GBK" ? "GB18030" : sample.name);
  }
}

// Without the guess the loader answers as it always has: such text is GBK bytes, read
// raw and reported as "ANSI", exactly as the whole-bytes decoding reads it.
TEST(LegacyGuess, WithoutTheGuessEveryAnswerStays) {
  for (const Sample& sample : Samples()) {
    const DecodedText decoded = Decode(sample.bytes, false);
    const DecodedText whole = testing::DecodeWholeBytes(sample.bytes);
    EXPECT_EQ(decoded.encoding, static_cast<int>(TextEncoding::Ansi)) << sample.name;
    EXPECT_EQ(decoded.encoding, whole.encoding) << sample.name;
    EXPECT_EQ(decoded.text, whole.text) << sample.name;
  }
}

// The guess is for text the loader could not otherwise place: a mark, a declaration or
// valid UTF-8 decide as they always did.
TEST(LegacyGuess, MarksDeclarationsAndUtf8StillDecide) {
  const std::string big5 = Encoded(kTraditional, "BIG5");
  const std::vector<std::string> decided = {
      "<html><head><meta charset=utf-8></head>" + big5,  // declared UTF-8 wins
      "<head><meta charset=big5-hkscs></head>" + Encoded(kSimplified, "GBK"),
      "\xEF\xBB\xBF" + kJapanese,
      "\xFF\xFE" + Encoded(kKorean, "UTF-16LE"),
      kTraditional,  // UTF-8
      "plain ASCII words only\n",
      "",
  };
  for (const std::string& bytes : decided) {
    const DecodedText guessed = Decode(bytes, true);
    const DecodedText plain = Decode(bytes, false);
    EXPECT_EQ(guessed.encoding, plain.encoding) << bytes.substr(0, 40);
    EXPECT_EQ(guessed.text, plain.text) << bytes.substr(0, 40);
  }
  // A declaration past the guess's sample still decides (it is in the head section).
  const std::string late =
      "<html><head>" + std::string(kGuessSample + 1000, ' ') + "<meta charset=big5></head>";
  EXPECT_EQ(Decode(late + Encoded(kJapanese, "SHIFT_JIS"), true).encoding,
            static_cast<int>(TextEncoding::Big5));
}

// A text far longer than the sample is read whole in the guessed encoding.
TEST(LegacyGuess, ALongTextIsReadWholeInTheGuessedEncoding) {
  std::string japanese;
  while (japanese.size() < 3 * kGuessSample) japanese += kJapanese;
  const DecodedText decoded = Decode(Encoded(japanese, "SHIFT_JIS"), true, 4096);
  EXPECT_EQ(decoded.encoding, static_cast<int>(TextEncoding::ShiftJis));
  EXPECT_EQ(decoded.text, ProgramText(japanese));
}

}  // namespace
}  // namespace tarnwick
