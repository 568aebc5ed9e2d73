#pragma once
// The walk of one filter job: every folder's files first, then its subfolders,
// depth-first, as far as the scope options allow, each file handed to the pipeline.
// Each folder is opened once, relative to its parent, and its entries are reached
// relative to it: no path is resolved whole, so depth and path length have no limit.
// The walk keeps its own stack, not the program's.

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/job/job_host.h"
#include "engine/job/job_settings.h"
#include "engine/job/option_controls.h"
#include "engine/job/stop_flag.h"
#include "engine/pipeline/file_pipeline.h"
#include "engine/pipeline/folder_visit.h"
#include "engine/reads/folder_read_ahead.h"
#include "engine/walk/entry_lister.h"
#include "engine/walk/walk_rules.h"
#include "platform/directory_listing.h"

namespace tarnwick {

class FolderWalk {
 public:
  FolderWalk(EntryLister& lister, const OptionControls& options, const JobSettings& settings,
             FilePipeline& pipeline, JobHost& host, const StopFlag& stop);

  // Walks `root` and, as the scope options say, its subfolders. Trailing "/" of `root`
  // are dropped ("d/", "d//" and "d" are one folder; "/" stays "/"). Returns early,
  // after the file in hand, once the stop flag is set.
  void Run(const std::string& root);

  // The level of a folder below the root: the root is 1, its subfolders 2. The root's
  // path is removed once, as a prefix; every "/" that remains adds one.
  static long long FolderLevel(const std::string& root, const std::string& folder);

 private:
  // One folder on the way down from the root.
  struct Frame {
    // Holds the folder open; empty once let go in a deep tree (see Descend).
    std::shared_ptr<FolderVisit> visit;
    std::string text;  // the folder as the lister left it: status line and levels
    std::string base;  // its path followed by "/"
    // Taken when the folder is let go, to check the descriptor opened again.
    dev_t device = 0;
    ino_t inode = 0;
    bool lost = false;       // could not be opened again: its subfolders are skipped
    std::string subfolders;  // names still to enter, each followed by a NUL
    std::vector<std::uint32_t> starts;
    std::size_t next = 0;
    // Subfolders asked to be listed ahead (FolderReadAhead::kNoTicket: not asked), up to
    // `asked`.
    std::vector<FolderReadAhead::Ticket> tickets;
    std::size_t asked = 0;
  };

  void Visit(Frame& frame);
  // Opens and lists the subfolder `name` of `frame` here, or takes it from those listed
  // ahead; the descriptor, or -1 with errno set (listing_ is then empty).
  int OpenAndList(Frame& frame, std::size_t index, const char* name);
  // Asks for the next subfolders the walk will enter to be listed ahead, nearest first,
  // while listings wait for the device.
  void AskAhead();
  // The subfolders of the folder open as `fd` that the walk enters, as indexes of
  // `listing` in its order. Safe on any thread: the listings ahead ask it too.
  void PickSubfolders(int fd, const platform::DirectoryListing& listing,
                      std::vector<std::uint32_t>& picked) const;
  // Enters the folder open as `fd` (closed by `fdOwner` when given), listed in listing_.
  void Descend(int fd, std::string text, std::shared_ptr<const void> fdOwner = nullptr);
  void EnterNextSubfolder(Frame& frame);
  void Ascend();
  bool WithinLevels(const std::string& folder);

  EntryLister& lister_;
  const OptionControls& options_;
  const JobSettings& settings_;
  FilePipeline& pipeline_;
  JobHost& host_;
  const StopFlag& stop_;
  std::optional<WalkRules> rules_;
  std::string root_;  // the root's path followed by "/": levels count from it
  // Frames by depth, kept with their buffers from folder to folder; `depth_` in use.
  std::deque<Frame> frames_;
  std::size_t depth_ = 0;
  // Folders held open on the way down; deeper ones make the walk let the highest go.
  std::size_t heldFolders_;
  std::uint64_t visits_ = 0;
  platform::DirectoryListing listing_;  // the folder being visited
  FolderReadAhead readAhead_;
  // The folder taken from those listed ahead, until it is entered: its descriptor's
  // owner and its subfolders asked for already.
  FolderReadAhead::Taken taken_;
  std::vector<std::uint32_t> subfolders_;
  std::vector<std::uint32_t> picked_;
};

}  // namespace tarnwick
