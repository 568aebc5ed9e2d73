#include "platform/block_device.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace tarnwick::platform {
namespace {

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// The name of the driver a disk's device is bound to ("virtio_blk", "sd", "nvme").
std::string DriverOf(const std::string& disk) {
  char target[512];
  const ssize_t length = ::readlink((disk + "/device/driver").c_str(), target, sizeof target - 1);
  if (length <= 0) return {};
  const std::string path(target, static_cast<std::size_t>(length));
  return path.substr(path.rfind('/') + 1);
}

}  // namespace

DeviceKind DeviceKindOf(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return DeviceKind::Parallel;
  // A partition's folder lies inside its disk's, which holds the queue.
  std::string disk = "/sys/dev/block/" + std::to_string(major(status.st_dev)) + ":" +
                     std::to_string(minor(status.st_dev));
  if (!Exists(disk + "/queue")) disk += "/..";
  if (FirstLine(disk + "/queue/rotational") != "1") return DeviceKind::Parallel;
  const std::string driver = DriverOf(disk);
  if (driver == "virtio_blk" || driver == "vbd" || driver == "xen_blkfront")
    return DeviceKind::Parallel;
  return DeviceKind::Rotational;
}

}  // namespace tarnwick::platform
