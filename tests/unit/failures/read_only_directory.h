#pragma once

#include <filesystem>
#include <string>

namespace pixorale::test {

// Makes a directory read-only for this test process, root included where the system allows:
// inside a mount namespace of the process's own the directory is bind-mounted onto itself
// read-only, so writes fail with EROFS and nothing outside the process sees the change.
// Without the right to mount, a user other than root falls back on permission bits, which
// root ignores. The directory is writable again once the object goes.
class ReadOnlyDirectory {
 public:
  explicit ReadOnlyDirectory(std::filesystem::path dir);
  ~ReadOnlyDirectory();
  ReadOnlyDirectory(const ReadOnlyDirectory&) = delete;
  ReadOnlyDirectory& operator=(const ReadOnlyDirectory&) = delete;

  // True once a file can no longer be created in the directory; otherwise why not.
  bool IsReadOnly() const { return whyNot_.empty(); }
  const std::string& WhyNot() const { return whyNot_; }

 private:
  std::filesystem::path dir_;
  bool mounted_ = false;
  bool chmodded_ = false;
  std::string whyNot_;
};

}  // namespace pixorale::test
