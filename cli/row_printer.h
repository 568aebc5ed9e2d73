#pragma once
// Prints each row of the result list the moment the job appends it, so the output
// follows the job (and a stopped job has printed every row it found). A printed row is
// not needed again, so the list is emptied after each: memory stays flat however many
// files a job lists.

#include "cli/command_line.h"
#include "cli/output_writer.h"
#include "results/result_list.h"

namespace tarnwick::cli {

class RowPrinter final : public ResultList::Observer {
 public:
  RowPrinter(ResultList& list, OutputWriter& out, OutputFormat format, bool print0)
      : list_(list), out_(out), format_(format), end_(print0 ? '\0' : '\n') {}

  // Rows printed since the printer was made.
  std::size_t Printed() const { return printed_; }

  void RowsAppended(std::size_t first, std::size_t count) override;
  void RowsRemoved(std::span<const RowRun>) override {}
  void RowChanged(std::size_t) override {}
  void Cleared() override {}

 private:
  ResultList& list_;
  std::size_t printed_ = 0;
  OutputWriter& out_;
  OutputFormat format_;
  char end_;
};

}  // namespace tarnwick::cli
