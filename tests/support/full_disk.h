#pragma once
// A tmpfs of 64 KB of the test's own, filled until only free_bytes remain (whole 4 KB pages): a
// disk that is full at once or fills midway. Mounting needs the right to; without it ready() is
// false and reason() says why, to skip on.

#include <string>
#include <vector>

class full_disk {
 public:
  explicit full_disk(long free_bytes);
  ~full_disk();  // unmounts it, with what is on it
  full_disk(const full_disk&) = delete;
  full_disk& operator=(const full_disk&) = delete;

  bool ready() const { return reason_.empty(); }
  const std::string& reason() const { return reason_; }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  std::vector<std::string> files() const;  // the names on it besides the filler

 private:
  std::string dir_, reason_;
};
