#include "cli/encoding_command.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/messages.h"
#include "cli/output_writer.h"
#include "text/text_loader.h"

namespace tarnwick::cli {

int RunEncodingCommand(const std::vector<std::string>& files) {
  OutputWriter out(STDOUT_FILENO);
  for (const std::string& file : files) {
    out.Write(DisplayName(LoadTextFile(file).encoding));
    out.Put('\t');
    out.Write(file);
    out.Put('\n');
  }
  if (out.Flush()) return 0;
  ReportError(std::string("cannot write the results: ") + std::strerror(out.Error()));
  return 1;
}

}  // namespace tarnwick::cli
