#include "support/full_disk.h"

#include <sys/mount.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

full_disk::full_disk(long free_bytes) {
  namespace fs = std::filesystem;
  std::string dir = (fs::temp_directory_path() / "full_disk_XXXXXX").string();
  if (!mkdtemp(dir.data())) {
    reason_ = std::string("mkdtemp: ") + std::strerror(errno);
    return;
  }
  dir_ = dir;
  if (::mount("tmpfs", dir.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
    reason_ = "cannot mount a tmpfs on " + dir + ": " + std::strerror(errno);
    return;
  }
  const size_t fill = size_t(64 * 1024 - free_bytes);
  std::ofstream(path(".filler"), std::ios::binary) << std::string(fill, '\0');
  std::error_code ec;
  if (fs::file_size(path(".filler"), ec) != fill) reason_ = "cannot fill " + dir;
}

full_disk::~full_disk() {
  if (dir_.empty()) return;
  ::umount2(dir_.c_str(), MNT_DETACH);  // fails harmlessly when it was never mounted
  std::error_code ec;
  std::filesystem::remove(dir_, ec);
}

std::vector<std::string> full_disk::files() const {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir_, ec))
    if (e.path().filename() != ".filler") out.push_back(e.path().filename().string());
  return out;
}
