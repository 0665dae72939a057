#include "support/full_disk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {
constexpr long disk_bytes = 64 * 1024;
const char* filler = ".filler";
}  // namespace

full_disk::full_disk(long free_bytes) {
  std::string tmpl = (std::filesystem::temp_directory_path() / "full_disk_XXXXXX").string();
  if (!mkdtemp(tmpl.data())) {
    reason_ = std::string("mkdtemp: ") + std::strerror(errno);
    return;
  }
  dir_ = tmpl;
  if (::mount("tmpfs", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
    reason_ = "cannot mount a tmpfs on " + dir_ + ": " + std::strerror(errno);
    return;
  }
  mounted_ = true;
  std::ofstream(path(filler), std::ios::binary) << std::string(size_t(disk_bytes - free_bytes), '\0');
  std::error_code ec;
  if (std::filesystem::file_size(path(filler), ec) != uintmax_t(disk_bytes - free_bytes))
    reason_ = "cannot fill " + dir_;
}

full_disk::~full_disk() {
  if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  if (!dir_.empty()) ::rmdir(dir_.c_str());
}

std::vector<std::string> full_disk::files() const {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir_, ec))
    if (e.path().filename() != filler) out.push_back(e.path().filename().string());
  return out;
}
