#include "cli/row_printer.h"

#include "cli/json_row.h"
#include "platform/file_details.h"
#include "text/path_display.h"

namespace tarnwick::cli {

void RowPrinter::RowsAppended(std::size_t first, std::size_t count) {
  for (std::size_t i = first; i < first + count; ++i) {
    const ResultRow& row = list_.Row(i);
    if (format_ == OutputFormat::Paths) {
      out_.Write(row.folder);
      out_.Write(row.name);
    } else if (format_ == OutputFormat::Json) {
      out_.Write(JsonRow(row, platform::ReadFileDetails(row.folder + row.name)));
    } else {
      // The texts the list shows: a name that is not UTF-8 decoded, as in the window.
      for (const std::string& column :
           {PathDisplayUtf8(row.name), row.sizeText, row.timeText, row.countText}) {
        out_.Write(column);
        out_.Put('\t');
      }
      out_.Write(PathDisplayUtf8(row.folder));
    }
    out_.Put(end_);
  }
  printed_ += count;
  list_.Clear();
}

}  // namespace tarnwick::cli
