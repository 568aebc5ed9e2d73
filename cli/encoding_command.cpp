#include "cli/encoding_command.h"

#include <unistd.h>

#include <cstring>

#include "cli/messages.h"
#include "cli/output_writer.h"
#include "platform/read_only_file.h"
#include "text/text_loader.h"

namespace tarnwick::cli {

int RunEncodingCommand(const std::vector<std::string>& files, bool guessEncodings) {
  OutputWriter out(STDOUT_FILENO);
  bool unreadable = false;
  for (const std::string& file : files) {
    // A file named here that cannot be read has no encoding to tell: it is named on
    // standard error instead. A special file reads as "ANSI", as the viewer shows it.
    platform::ReadOnlyFile probe;
    if (!probe.Open(file) && probe.Error() != 0) {
      out.Flush();
      ReportError(file + ": " + std::strerror(probe.Error()));
      unreadable = true;
      continue;
    }
    probe.Close();
    out.Write(DisplayName(LoadTextFile(file, guessEncodings).encoding));
    out.Put('\t');
    out.Write(file);
    out.Put('\n');
  }
  if (!out.Flush()) {
    ReportError(std::string("cannot write the results: ") + std::strerror(out.Error()));
    return 1;
  }
  return unreadable ? 1 : 0;
}

}  // namespace tarnwick::cli
