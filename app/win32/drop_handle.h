#pragma once

#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

namespace pixorale {

// The list of files a drop delivered, released with DragFinish when the object goes.
class DropHandle {
 public:
  explicit DropHandle(HDROP drop) : drop_(drop) {}
  ~DropHandle() {
    if (drop_ != nullptr) DragFinish(drop_);
  }
  DropHandle(const DropHandle&) = delete;
  DropHandle& operator=(const DropHandle&) = delete;

  HDROP get() const { return drop_; }

 private:
  HDROP drop_;
};

}  // namespace pixorale
