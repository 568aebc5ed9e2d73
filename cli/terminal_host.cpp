#include "cli/terminal_host.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

#include "cli/interrupt.h"
#include "cli/messages.h"
#include "engine/filter_job.h"

namespace tarnwick::cli {
namespace {

// Checking the clock on every call would cost more than the call itself.
constexpr unsigned kCallsPerClockCheck = 64;
constexpr auto kTickInterval = std::chrono::milliseconds(100);

// Columns taken by the character that starts with `lead` (0 for a continuation byte).
int ColumnsOf(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC0) return 0;
  if (lead < 0xE0) return 1;
  return 2;
}

int TerminalColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

int DisplayColumns(const std::string& text) {
  int width = 0;
  for (unsigned char byte : text) width += ColumnsOf(byte);
  return width;
}

std::string FitToColumns(const std::string& text, int columns) {
  int width = DisplayColumns(text);
  if (width <= columns) return text;
  const int ellipsis = 1;
  std::size_t cut = 0;
  const auto columnsAt = [&](std::size_t i) {
    return ColumnsOf(static_cast<unsigned char>(text[i]));
  };
  // Cut whole characters: never stop on a continuation byte.
  while (cut < text.size() && (width > columns - ellipsis || columnsAt(cut) == 0)) {
    width -= columnsAt(cut);
    ++cut;
  }
  return "…" + text.substr(cut);
}

TerminalHost::TerminalHost(Settings settings, const RowPrinter& printer, OutputWriter& out,
                           StopFlag& stop)
    : settings_(settings), printer_(printer), out_(out), stop_(stop) {}

void TerminalHost::ProcessPendingEvents() {
  if (!started_) {
    started_ = true;
    // A Ctrl-C pressed before the job cleared the flag still stops it.
    if (WasInterrupted()) stop_.Set();
  }
  // Output that can no longer be written ends the job: its rows would be lost.
  if (out_.Failed()) stop_.Set();
  if (++callsSinceClock_ < kCallsPerClockCheck) return;
  callsSinceClock_ = 0;
  Tick();
}

void TerminalHost::SetStatusText(const std::string& text) { status_ = text; }

void TerminalHost::RefreshStatus() { Tick(); }

void TerminalHost::ReportUnreadable(const std::string& path, int error) {
  ++unreadable_;
  if (!settings_.nameUnreadable) return;
  ClearProgress();
  ReportError(path + ": " + std::strerror(error));
}

void TerminalHost::ReportChanged(const std::string& path) {
  if (!settings_.nameUnreadable) return;
  ClearProgress();
  ReportError(path + ": changed during the job; left out of its duplicate group");
}

std::int64_t TerminalHost::ElapsedMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
}

void TerminalHost::Tick() {
  if (!settings_.showProgress && !settings_.liveOutput) return;
  const Clock::time_point now = Clock::now();
  if (now - lastTick_ < kTickInterval) return;
  lastTick_ = now;
  if (settings_.liveOutput) {
    ClearProgress();
    out_.Flush();
  }
  if (settings_.showProgress) DrawProgress();
}

void TerminalHost::DrawProgress() {
  const std::string head = "(" + FormatElapsed(ElapsedMs()) + ") 已列出 " +
                           std::to_string(printer_.Printed()) + " 个文件 ";
  const int room = TerminalColumns() - 1 - DisplayColumns(head);
  std::string line = "\r" + head;
  if (room > 0) line += FitToColumns(status_, room);
  line += "\033[K";
  WriteToStderr(line);
  progressShown_ = true;
}

void TerminalHost::ClearProgress() {
  if (!progressShown_) return;
  WriteToStderr("\r\033[K");
  progressShown_ = false;
}

}  // namespace tarnwick::cli
