#include "text/text_stream.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "text/byte_buffer.h"
#include "text/byte_marks.h"
#include "text/gb_pieces.h"
#include "text/legacy_guess.h"
#include "text/meta_scan.h"
#include "text/streamed_conversion.h"
#include "text/text_loader.h"
#include "text/text_scan.h"
#include "text/utf8_check.h"
#include "text/utf8_pieces.h"

namespace tarnwick {
namespace {

using Status = StreamOutcome::Status;

// What one thread reuses from file to file.
struct StreamBuffers {
  ByteBuffer piece;
  std::string converted;
  Utf8Check utf8;
  RawTextCut raw;
  MetaCharsetScan meta;
  GbPieces gb;
  Utf8Pieces utf8Pieces;
  LegacyGuess guess;
  std::array<std::unique_ptr<StreamConverter>, 10> converters;  // by TextEncoding

  // The lenient conversion of `encoding` (not Ansi) into GB18030, made on first use.
  StreamConverter& ConverterFor(TextEncoding encoding) {
    std::unique_ptr<StreamConverter>& converter = converters[static_cast<int>(encoding)];
    if (!converter)
      converter = std::make_unique<StreamConverter>(ConversionName(encoding), "GB18030", "?");
    converter->Reset();
    return *converter;
  }
};

StreamBuffers& ThreadBuffers() {
  thread_local StreamBuffers buffers;
  return buffers;
}

// The pieces of one source, read into the thread's buffer.
class PieceReader {
 public:
  PieceReader(ByteSource& source, std::size_t pieceSize, ByteBuffer& buffer)
      : source_(source), pieceSize_(pieceSize == 0 ? 1 : pieceSize), buffer_(buffer) {}

  std::string_view Piece() const { return {buffer_.data(), size_}; }
  // The piece in hand is the source's last.
  bool Last() const { return last_; }
  int Error() const { return error_; }

  // Reads the next piece; false when reading failed. The first piece holds at least the
  // three bytes a byte-order mark may take, whatever the piece size.
  bool Next() {
    const std::size_t count = reads_ == 0 ? std::max<std::size_t>(pieceSize_, 3) : pieceSize_;
    buffer_.resize(count);
    const std::int64_t got = source_.Read(buffer_.data(), count);
    if (got < 0) {
      error_ = errno;
      return false;
    }
    size_ = static_cast<std::size_t>(got);
    last_ = size_ < count;
    ++reads_;
    return true;
  }

  // Goes back to the first piece (still in hand when only one has been read).
  bool Restart() {
    if (reads_ == 1) return true;
    if (!source_.Rewind()) {
      error_ = errno;
      return false;
    }
    reads_ = 0;
    return Next();
  }

 private:
  ByteSource& source_;
  std::size_t pieceSize_;
  ByteBuffer& buffer_;
  std::size_t size_ = 0;
  bool last_ = false;
  int reads_ = 0;
  int error_ = 0;
};

// The readings one file's decoding may go through, as a small state machine: each
// reading runs until it has the answer or finds that another reading must take over,
// and says which. Every reading but the check starts again from the first byte.
//
//   reading          taken when                            hands over to
//   unchecked UTF-8  no mark; the consumer takes UTF-8 and   declared (a declaration),
//                    may hold for every reading             check UTF-8 (the answer
//                                                           depends on the reading, or the
//                                                           encoding is wanted)
//   checked UTF-8    no mark, otherwise                     raw (not UTF-8), declared
//   check UTF-8      after unchecked UTF-8, from where      raw (not UTF-8), declared
//                    the bytes stopped being ASCII
//   guess            not UTF-8, a guess asked for           declared (a declaration, or a
//                                                           guess other than GB18030), raw
//   raw              the content is not UTF-8               declared (a declaration)
//   declared         a byte-order mark or a declaration     raw (no text in that encoding)
//
// Each reading also ends the decoding: with the consumer's answer, a failed read, or a
// stop.
enum class Reading { UncheckedUtf8, CheckUtf8, CheckedUtf8, Guess, Raw, Declared, Ended };

struct Step {
  Reading reading = Reading::Ended;
  // Declared: the encoding, and the length of its mark.
  TextEncoding encoding = TextEncoding::Ansi;
  std::size_t markLength = 0;
  // Guess and raw: the declaration search runs alongside (no earlier reading settled
  // it).
  bool detect = false;
  // Raw: the encoding reported (GB18030 when guessed so).
  TextEncoding rawAs = TextEncoding::Ansi;
  // Check UTF-8: whether the consumer has had the end of the text, and the ASCII bytes
  // before the piece in hand, with the first zero among them.
  bool ended = false;
  std::uint64_t asciiBefore = 0;
  std::uint64_t zeroBefore = UINT64_MAX;
  // Ended: the outcome.
  StreamOutcome outcome;
};

Step EndWith(const StreamOutcome& outcome) {
  Step step;
  step.outcome = outcome;
  return step;
}

Step DeclaredReading(TextEncoding encoding, std::size_t markLength) {
  Step step;
  step.reading = Reading::Declared;
  step.encoding = encoding;
  step.markLength = markLength;
  return step;
}

Step RawReading(bool detect, TextEncoding reportedAs = TextEncoding::Ansi) {
  Step step;
  step.reading = Reading::Raw;
  step.detect = detect;
  step.rawAs = reportedAs;
  return step;
}

Step CheckReading(bool ended, std::uint64_t asciiBefore, std::uint64_t zeroBefore) {
  Step step;
  step.reading = Reading::CheckUtf8;
  step.ended = ended;
  step.asciiBefore = asciiBefore;
  step.zeroBefore = zeroBefore;
  return step;
}

// One file's decoding: the readings it goes through, each from the first byte.
class Decoding {
 public:
  Decoding(ByteSource& source, TextConsumer& consumer, const StreamSettings& settings)
      : consumer_(consumer),
        settings_(settings),
        buffers_(ThreadBuffers()),
        reader_(source, settings.pieceSize, buffers_.piece) {}

  StreamOutcome Run() {
    Step step = Start();
    while (step.reading != Reading::Ended) step = Take(step);
    return step.outcome;
  }

 private:
  // The first reading, from the first piece's mark.
  Step Start() {
    if (!reader_.Next()) return Failed();
    const std::string_view first = reader_.Piece();
    if (first.starts_with("\xEF\xBB\xBF")) return DeclaredReading(TextEncoding::Utf8, 3);
    if (first.starts_with("\xFF\xFE")) return DeclaredReading(TextEncoding::Unicode, 2);
    if (first.starts_with("\xFE\xFF")) return DeclaredReading(TextEncoding::UnicodeBE, 2);
    // An answer that holds for the UTF-8 and the raw reading need not hold for a guessed
    // one: with a guess asked for, the bytes are always checked.
    Step step;
    step.reading =
        consumer_.TakesUtf8() && consumer_.MayHoldForEveryReading() && !settings_.guessEncodings
            ? Reading::UncheckedUtf8
            : Reading::CheckedUtf8;
    return step;
  }

  // Runs the reading `step` names.
  Step Take(const Step& step) {
    switch (step.reading) {
      case Reading::UncheckedUtf8:
        return ReadUncheckedUtf8();
      case Reading::CheckUtf8:
        return CheckUtf8Reading(step.ended, step.asciiBefore, step.zeroBefore);
      case Reading::CheckedUtf8:
        return ReadCheckedUtf8();
      case Reading::Guess:
        return ReadGuess(step.detect);
      case Reading::Raw:
        return ReadRaw(step.detect, step.rawAs);
      case Reading::Declared:
        return ReadDeclared(step.encoding, step.markLength);
      case Reading::Ended:
        break;
    }
    return step;
  }

  bool StopRequested() const { return settings_.stopRequested && settings_.stopRequested(); }

  Step Stopped() { return EndWith({Status::Stopped, 0, 0}); }

  // A read that failed midway: the file reads as the empty text.
  Step Failed() {
    consumer_.Begin(TextForm::Gb18030);
    consumer_.End();
    return EndWith({Status::Failed, 0, reader_.Error()});
  }

  Step Done(TextEncoding encoding) {
    consumer_.End();
    return EndWith({Status::Read, static_cast<int>(encoding), 0});
  }

  // Hands one part of the UTF-8 reading's text over, converted unless the consumer takes
  // UTF-8 (the content is valid, so the lenient conversion is the strict one).
  bool TakeUtf8(std::string_view text) {
    if (text.empty()) return false;
    if (consumer_.TakesUtf8()) return consumer_.Take(text);
    std::string& converted = buffers_.converted;
    converted.clear();
    toGb_->Convert(text, false, converted);
    return consumer_.Take(converted);
  }

  // Passes what of `piece` is text, read raw, to the declaration search. `mayEnd`: the
  // piece may hold a byte that ends that text; `mayHoldTag`: it may hold a «<».
  void SearchDeclaration(std::string_view piece, bool mayEnd, bool mayHoldTag) {
    MetaCharsetScan& meta = buffers_.meta;
    const RawTextCut::Part part = buffers_.raw.Take(piece, mayEnd);
    if (part.confirmedLead) meta.Take({&part.lead, 1});
    meta.Take(piece.substr(0, part.length), mayHoldTag);
    if (buffers_.raw.Ended()) meta.End();
  }

  // Content a UTF-8 reading found not to be UTF-8: read raw, or first guessed at.
  Step NotUtf8(bool detect) const {
    if (!settings_.guessEncodings) return RawReading(detect);
    Step step;
    step.reading = Reading::Guess;
    step.detect = detect;
    return step;
  }

  // The encoding the UTF-8 reading reports, once the whole content has proved to be UTF-8.
  // An empty text (an empty file, or one starting with a zero) is the raw reading's too,
  // which reports "ANSI"; a text shorter than the content is reported as UTF-8.
  Step Utf8Reading() {
    const Utf8Check& utf8 = buffers_.utf8;
    const std::uint64_t length = utf8.TextLength();
    const bool shorter = length > 0 && length < utf8.ContentLength();
    return EndWith(
        {Status::Read, static_cast<int>(shorter ? TextEncoding::Utf8 : TextEncoding::Ansi), 0});
  }

  // Content that starts with a zero byte: its text is empty read as UTF-8, and read raw
  // too, which reports "ANSI"; nothing after the zero can change either (the declaration
  // search sees an empty text). Such a file, a sparse one above all, is not read on.
  Step EmptyText() { return EndWith({Status::Read, static_cast<int>(TextEncoding::Ansi), 0}); }

  bool EncodingWanted() const { return !settings_.encodingWanted || settings_.encodingWanted(); }

  // The bytes handed over as UTF-8 without checking them, cut at the first zero; checked
  // afterwards only when the answer depends on the reading or the encoding is wanted.
  Step ReadUncheckedUtf8() {
    MetaCharsetScan& meta = buffers_.meta;
    Utf8Pieces& pieces = buffers_.utf8Pieces;
    buffers_.raw.Reset();
    meta.Reset();
    pieces.Reset();
    consumer_.Begin(TextForm::Utf8);
    bool settled = false;
    bool ended = false;
    // The bytes before the piece in hand, and whether all of them are ASCII (then a check
    // need not read them again), with the first zero among them.
    std::uint64_t before = 0;
    std::uint64_t zeroBefore = UINT64_MAX;
    bool allAscii = true;
    for (;;) {
      if (StopRequested()) return Stopped();
      const std::string_view piece = reader_.Piece();
      const ByteMarks marks = ScanByteMarks(piece, !ended);
      if (!meta.Settled()) {
        SearchDeclaration(piece, marks.stopByte, marks.openAngle);
        if (meta.Settled() && meta.Declared()) return DeclaredReading(*meta.Declared(), 0);
      }
      if (!ended) {
        settled = pieces.Take(piece.substr(0, marks.firstZero), consumer_);
        if (marks.firstZero != std::string_view::npos || reader_.Last()) {
          if (!settled) settled = pieces.Finish(consumer_);
          consumer_.End();
          ended = true;
          // Content that starts with a zero is the empty text in every reading.
          if (before == 0 && marks.firstZero == 0) return EmptyText();
        }
      }
      // A found answer depends on the reading: the rest is read to check it.
      if (settled && allAscii) return CheckReading(ended, before, zeroBefore);
      if (settled || reader_.Last()) break;
      if (!marks.ascii) allAscii = false;
      if (marks.firstZero != std::string_view::npos && zeroBefore == UINT64_MAX)
        zeroBefore = before + marks.firstZero;
      before += piece.size();
      if (!reader_.Next()) return Failed();
    }
    if (!settled) {
      if (!meta.Settled()) {
        buffers_.raw.Finish();
        meta.End();
        if (meta.Declared()) return DeclaredReading(*meta.Declared(), 0);
      }
      if (consumer_.HoldsForEveryReading() && !EncodingWanted())
        return EndWith({Status::Read, 0, 0});
    }
    if (!reader_.Restart()) return Failed();
    return CheckReading(ended, 0, UINT64_MAX);
  }

  // Checks that the content is UTF-8, from the piece in hand, for an answer already given
  // on the UTF-8 reading (`ended`: the consumer has had the end of the text). The
  // `asciiBefore` bytes before that piece are ASCII, with the first zero at `zeroBefore`;
  // the declaration search goes on where it stands. With none before, the piece in hand
  // is the first and everything starts from it.
  Step CheckUtf8Reading(bool ended, std::uint64_t asciiBefore, std::uint64_t zeroBefore) {
    Utf8Check& utf8 = buffers_.utf8;
    MetaCharsetScan& meta = buffers_.meta;
    utf8.Reset();
    utf8.TakeAscii(asciiBefore, zeroBefore);
    if (asciiBefore == 0 && !meta.Settled()) {
      buffers_.raw.Reset();
      meta.Reset();
    }
    bool searched = asciiBefore > 0;  // the piece in hand has been given to the search
    for (;;) {
      if (StopRequested()) return Stopped();
      const std::string_view piece = reader_.Piece();
      if (!utf8.Take(piece)) return NotUtf8(!meta.Settled());
      if (!meta.Settled() && !searched) {
        SearchDeclaration(piece, utf8.PieceHasStopByte(), utf8.PieceHasOpenAngle());
        if (meta.Settled() && meta.Declared()) return DeclaredReading(*meta.Declared(), 0);
      }
      searched = false;
      if (reader_.Last()) break;
      if (!reader_.Next()) return Failed();
    }
    return FinishUtf8(ended);
  }

  // The end of content read as UTF-8: its last character checked, and the declaration
  // search, if still open, given the end of the content.
  Step FinishUtf8(bool ended) {
    MetaCharsetScan& meta = buffers_.meta;
    if (!buffers_.utf8.Finish()) return NotUtf8(!meta.Settled());
    if (!meta.Settled()) {
      buffers_.raw.Finish();
      meta.End();
      if (meta.Declared()) return DeclaredReading(*meta.Declared(), 0);
    }
    if (!ended) consumer_.End();
    return Utf8Reading();
  }

  // Content without a mark, checked as UTF-8 as it is handed over.
  Step ReadCheckedUtf8() {
    Utf8Check& utf8 = buffers_.utf8;
    MetaCharsetScan& meta = buffers_.meta;
    utf8.Reset();
    buffers_.raw.Reset();
    meta.Reset();
    toGb_ = &buffers_.ConverterFor(TextEncoding::Utf8);
    consumer_.Begin(consumer_.TakesUtf8() ? TextForm::Utf8 : TextForm::Gb18030);
    bool settled = false;
    bool ended = false;
    for (;;) {
      if (StopRequested()) return Stopped();
      const std::string_view piece = reader_.Piece();
      // A piece that proves the content is not UTF-8 sends the reading back to the start,
      // raw, where the declaration search starts again too.
      if (!utf8.Take(piece)) return NotUtf8(!meta.Settled());
      if (!meta.Settled()) {
        SearchDeclaration(piece, utf8.PieceHasStopByte(), utf8.PieceHasOpenAngle());
        if (meta.Settled() && meta.Declared()) return DeclaredReading(*meta.Declared(), 0);
      }
      if (!settled && !ended) {
        settled = TakeUtf8(utf8.Completed());
        if (!settled)
          settled = TakeUtf8(piece.substr(utf8.TextBegin(), utf8.TextEnd() - utf8.TextBegin()));
      }
      if (utf8.TextEnded() && !ended) {
        consumer_.End();
        ended = true;
        // Content that starts with a zero is the empty text in every reading.
        if (utf8.TextLength() == 0) return EmptyText();
      }
      if (reader_.Last()) break;
      if (!reader_.Next()) return Failed();
    }
    return FinishUtf8(ended);
  }

  // Content that is not UTF-8, with a guess asked for: its first kGuessSample bytes are
  // sampled, with the declaration search alongside when `detect`. A declaration decides;
  // a guess of Big5, Shift-JIS or EUC-KR is read as declared once the search has
  // settled; GB18030, or no guess, reads raw.
  Step ReadGuess(bool detect) {
    if (!reader_.Restart()) return Failed();
    LegacyGuess& guess = buffers_.guess;
    MetaCharsetScan& meta = buffers_.meta;
    guess.Reset();
    if (detect) {
      buffers_.raw.Reset();
      meta.Reset();
    }
    std::optional<TextEncoding> guessed;
    bool decided = false;
    for (;;) {
      if (StopRequested()) return Stopped();
      const std::string_view piece = reader_.Piece();
      if (!guess.Full()) guess.Take(piece);
      if (detect && !meta.Settled()) {
        SearchDeclaration(piece, true, true);
        if (meta.Settled() && meta.Declared()) return DeclaredReading(*meta.Declared(), 0);
      }
      if (!decided && (guess.Full() || reader_.Last())) {
        decided = true;
        guessed = guess.Result();
        // The raw reading searches on for a declaration itself.
        if (!guessed || *guessed == TextEncoding::Gb18030)
          return RawReading(detect && !meta.Settled(), guessed.value_or(TextEncoding::Ansi));
      }
      if (reader_.Last() || (decided && (!detect || meta.Settled()))) break;
      if (!reader_.Next()) return Failed();
    }
    if (detect && !meta.Settled()) {
      buffers_.raw.Finish();
      meta.End();
      if (meta.Declared()) return DeclaredReading(*meta.Declared(), 0);
    }
    return DeclaredReading(*guessed, 0);
  }

  // The raw reading, from the first byte, mark included; with `detect` the declaration
  // search runs alongside (it has not been settled by an earlier reading). The text is
  // reported as `reportedAs` (Ansi, or GB18030 when guessed so).
  Step ReadRaw(bool detect, TextEncoding reportedAs) {
    if (!reader_.Restart()) return Failed();
    RawTextCut& raw = buffers_.raw;
    MetaCharsetScan& meta = buffers_.meta;
    GbPieces& gb = buffers_.gb;
    raw.Reset();
    gb.Reset();
    if (detect) meta.Reset();
    consumer_.Begin(TextForm::Gb18030);
    bool settled = false;
    const auto pass = [&](std::string_view text) {
      if (text.empty()) return;
      if (detect) meta.Take(text);
      if (!settled) settled = gb.Take(text, consumer_);
    };
    for (;;) {
      if (StopRequested()) return Stopped();
      const std::string_view piece = reader_.Piece();
      const RawTextCut::Part part = raw.Take(piece);
      if (part.confirmedLead) pass({&part.lead, 1});
      pass(piece.substr(0, part.length));
      if (reader_.Last()) raw.Finish();
      if (detect && raw.Ended()) meta.End();
      if (detect && meta.Settled() && meta.Declared()) return DeclaredReading(*meta.Declared(), 0);
      if (raw.Ended() || (settled && (!detect || meta.Settled()))) break;
      if (!reader_.Next()) return Failed();
    }
    if (!settled) gb.Finish(consumer_);
    return Done(reportedAs);
  }

  // Content in `encoding` (not Ansi), after a mark of `markLength` bytes: its lenient
  // conversion up to the first zero, or the raw reading when that is empty.
  Step ReadDeclared(TextEncoding encoding, std::size_t markLength) {
    if (!reader_.Restart()) return Failed();
    StreamConverter& converter = buffers_.ConverterFor(encoding);
    std::string& converted = buffers_.converted;
    // Big5 content is taken only up to its first zero byte.
    const bool cutAtZero = encoding == TextEncoding::Big5 || encoding == TextEncoding::Big5Hkscs;
    consumer_.Begin(TextForm::Gb18030);
    std::uint64_t produced = 0;
    std::size_t skip = markLength;
    for (;;) {
      if (StopRequested()) return Stopped();
      std::string_view input = reader_.Piece();
      input.remove_prefix(skip);
      skip = 0;
      bool last = reader_.Last();
      if (cutAtZero) {
        const std::size_t zero = input.find('\0');
        if (zero != std::string_view::npos) {
          input = input.substr(0, zero);
          last = true;
        }
      }
      converted.clear();
      converter.Convert(input, last, converted);
      const std::size_t zero = converted.find('\0');
      const std::string_view text = std::string_view(converted).substr(0, zero);
      if (!text.empty()) {
        produced += text.size();
        if (consumer_.Take(text)) return Done(encoding);
      }
      if (zero != std::string::npos || last) break;
      if (!reader_.Next()) return Failed();
    }
    if (produced == 0) return RawReading(false);
    return Done(encoding);
  }

  TextConsumer& consumer_;
  const StreamSettings& settings_;
  StreamBuffers& buffers_;
  PieceReader reader_;
  StreamConverter* toGb_ = nullptr;
};

}  // namespace

StreamOutcome StreamText(ByteSource& source, TextConsumer& consumer,
                         const StreamSettings& settings) {
  return Decoding(source, consumer, settings).Run();
}

StreamOutcome StreamFileText(const platform::FileRef& file, TextConsumer& consumer,
                             const StreamSettings& settings) {
  FileSource source(file);
  return StreamFileText(source, consumer, settings);
}

StreamOutcome StreamFileText(FileContent& source, TextConsumer& consumer,
                             const StreamSettings& settings) {
  const OpenResult opened = source.Open();
  if (opened == OpenResult::Opened) return StreamText(source, consumer, settings);
  consumer.Begin(TextForm::Gb18030);
  consumer.End();
  if (opened == OpenResult::Skipped) return {Status::Skipped, 0, 0};
  return {Status::Failed, 0, source.Error()};
}

}  // namespace tarnwick
