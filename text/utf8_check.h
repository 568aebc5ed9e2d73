#pragma once
// Content without a byte-order mark or a declaration, read as UTF-8 piece by piece:
// whether all of it converts strictly to GB18030, where its first zero byte is, and how
// long the converted text before that zero is. That is all the choice between reading
// it as UTF-8 and reading it raw needs; nothing is converted.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarnwick {

class Utf8Check {
 public:
  void Reset() { *this = Utf8Check(); }

  // Checks the next piece of the content. False once the content has proved not to
  // convert: a sequence that is not UTF-8, or a character iconv refuses (nothing of the
  // piece after it is looked at).
  bool Take(std::string_view piece);
  // Takes `length` bytes known to be ASCII (all of them before any zero, or the first
  // zero at `zeroAt`) without looking at them.
  void TakeAscii(std::uint64_t length, std::uint64_t zeroAt);
  // The content ends: false when it ends inside a character.
  bool Finish() const { return keptSize_ == 0; }

  // What the last Take added to the text (the content before its first zero), in order:
  // a character begun in the piece before and completed by this one (or nothing), then
  // piece[TextBegin(), TextEnd()). Both are whole characters.
  std::string_view Completed() const { return {completed_, completedSize_}; }
  std::size_t TextBegin() const { return textBegin_; }
  std::size_t TextEnd() const { return textEnd_; }
  // The first zero byte has been seen: the text ends there.
  bool TextEnded() const { return zeroSeen_; }
  // The length of the GB18030 text the content before its first zero converts to.
  std::uint64_t TextLength() const { return textLength_; }
  // The bytes taken so far.
  std::uint64_t ContentLength() const { return contentLength_; }

  // Bytes the last piece (when Take returned true) holds, noted on the way for the raw
  // reading and the declaration search, which need not look at a piece without them.
  bool PieceHasStopByte() const { return stopByte_; }    // a 0x00 or a 0x1A
  bool PieceHasOpenAngle() const { return openAngle_; }  // a «<»

 private:
  bool Fail() { return false; }
  void MarkZero(std::size_t at);
  // Notes an ASCII byte the scan passes (a first zero ends the text there).
  void Note(unsigned char byte, std::size_t at);
  std::size_t Blocks(const unsigned char* data, std::size_t i, std::size_t size,
                     std::int64_t* adjustment);

  char kept_[4] = {};
  std::size_t keptSize_ = 0;
  std::size_t expected_ = 0;
  char completed_[4] = {};
  std::size_t completedSize_ = 0;
  std::size_t textBegin_ = 0;
  std::size_t textEnd_ = 0;
  bool zeroSeen_ = false;
  bool stopByte_ = false;
  bool openAngle_ = false;
  std::uint64_t textLength_ = 0;
  std::uint64_t contentLength_ = 0;
};

}  // namespace tarnwick
