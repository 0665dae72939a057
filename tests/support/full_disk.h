#pragma once
// A small file system of the test's own (a tmpfs of 64 KB), filled with one file until only
// free_bytes remain (whole 4 KB pages): writes that run out of space at once or midway. Mounting
// needs the right to mount; without it ready() is false and reason() says why, to skip on.

#include <string>
#include <vector>

class full_disk {
 public:
  explicit full_disk(long free_bytes);
  ~full_disk();  // unmounts; everything on it goes
  full_disk(const full_disk&) = delete;
  full_disk& operator=(const full_disk&) = delete;

  bool ready() const { return mounted_ && reason_.empty(); }
  const std::string& reason() const { return reason_; }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  // The names of the files on it besides the filler.
  std::vector<std::string> files() const;

 private:
  std::string dir_, reason_;
  bool mounted_ = false;
};
