#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "io/read_only_file.h"
#include "io/wide_text_win32.h"
#include "io/windows_error_win32.h"

namespace pixorale {
namespace {

HANDLE AsHandle(intptr_t value) {
  return reinterpret_cast<HANDLE>(value);
}

}  // namespace

void ReadOnlyFile::Close() {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
  handle_ = -1;
  size_ = 0;
}

IoResult ReadOnlyFile::Open(const std::string& path) {
  Close();
  const std::wstring widePath = ToWide(path);
  const DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return IoResult::Failure(IoStep::kIsDirectory, EISDIR);
  }
  // Others may go on reading, writing or even deleting the file meanwhile, as on Linux.
  const HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return IoResult::Failure(IoStep::kOpen, LastErrorAsErrno());
  // A console, a pipe or a device such as NUL is not a regular file.
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return IoResult::Failure(IoStep::kNotRegularFile, 0);
  }
  handle_ = reinterpret_cast<intptr_t>(file);
  size_ = static_cast<uint64_t>(size.QuadPart);
  return {};
}

int64_t ReadOnlyFile::ReadAt(uint64_t offset, std::span<uint8_t> out) {
  uint64_t done = 0;
  while (done < out.size()) {
    // Each read names its own offset, so reads never depend on a shared file position.
    OVERLAPPED at{};
    const uint64_t position = offset + done;
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    const auto want = static_cast<DWORD>(std::min<uint64_t>(out.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), out.data() + done, want, &got, &at)) {
      const DWORD error = GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      lastError_ = ErrnoFromWindowsError(error);
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return static_cast<int64_t>(done);
}

}  // namespace pixorale
