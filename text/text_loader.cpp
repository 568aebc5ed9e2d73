#include "text/text_loader.h"

#include "platform/file_ref.h"
#include "text/byte_source.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

// Gathers the whole text.
class WholeText final : public TextConsumer {
 public:
  explicit WholeText(std::string& text) : text_(text) {}
  void Begin(TextForm) override { text_.clear(); }
  bool Take(std::string_view piece) override {
    text_.append(piece);
    return false;
  }
  void End() override {}

 private:
  std::string& text_;
};

}  // namespace

DecodedText LoadTextFile(const std::string& path, bool guessEncodings) {
  DecodedText decoded;
  WholeText whole(decoded.text);
  StreamSettings settings;
  settings.guessEncodings = guessEncodings;
  decoded.encoding = StreamFileText(platform::FileAtPath(path), whole, settings).encoding;
  return decoded;
}

DecodedText DecodeTextBytes(std::string_view bytes, std::size_t pieceSize) {
  MemorySource source(bytes);
  StreamSettings settings;
  settings.pieceSize = pieceSize;
  DecodedText decoded;
  WholeText whole(decoded.text);
  decoded.encoding = StreamText(source, whole, settings).encoding;
  return decoded;
}

DecodedText DecodeTextBytes(std::string_view bytes) {
  return DecodeTextBytes(bytes, bytes.size() + 1);
}

}  // namespace tarnwick
