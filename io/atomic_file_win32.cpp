#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include "io/atomic_file.h"
#include "io/pending_name.h"
#include "io/publication.h"
#include "io/wide_text_win32.h"
#include "io/windows_error_win32.h"

namespace pixorale {
namespace {

constexpr int kNameAttempts = 100;
// Longer names (rare beside a target) are written as usual but not remembered for removal.
constexpr size_t kMaxRememberedPath = 1024;

// Temporaries that exist right now, removed when the console is interrupted.
using PendingTemporary = PendingName<wchar_t, kMaxRememberedPath>;

IoResult LastFailure(IoStep step) {
  return IoResult::Failure(step, LastErrorAsErrno());
}

// The folder part of a path, with its separator ("" for a bare name).
std::wstring DirectoryPart(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/:");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

// The attributes a replaced file passes on to its replacement, as ReplaceFileW keeps them.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Marks an open file to go when its last handle closes (true), or to stay (false).
bool DeleteOnClose(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) !=
         0;
}

// The temporary beside the target that the body goes to, removed unless it got its name.
// Until then the system removes it when its last handle goes, however the process ends
// (TerminateProcess included), and it is shared for deletion, so that the console handler
// can remove it while the writing thread still holds it.
class Temporary {
 public:
  explicit Temporary(std::wstring directory) : directory_(std::move(directory)) {}
  ~Temporary() {
    if (fd_ >= 0) _close(fd_);
    if (!name_.empty()) DeleteFileW(name_.c_str());
  }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;

  IoResult Create() {
    static constexpr wchar_t kAlphabet[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand engine(std::random_device{}());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      std::wstring name = directory_ + L".pixorale-";
      for (int i = 0; i < 6; ++i) name += kAlphabet[engine() % (std::size(kAlphabet) - 1)];
      name += L".tmp";
      const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_EXISTS) continue;
        return LastFailure(IoStep::kCreate);
      }
      if (!DeleteOnClose(file, true)) {
        const IoResult failed = LastFailure(IoStep::kCreate);
        CloseHandle(file);
        DeleteFileW(name.c_str());
        return failed;
      }
      // A C descriptor in binary mode, so the shared writer can fill it byte for byte.
      fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
      if (fd_ < 0) {
        CloseHandle(file);
        DeleteFileW(name.c_str());
        return IoResult::Failure(IoStep::kCreate, EMFILE);
      }
      name_ = name;
      pending_.emplace(name_);
      return {};
    }
    return IoResult::Failure(IoStep::kCreate, EEXIST);
  }

  int fd() const { return fd_; }

  IoResult Flush() {
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)))
               ? IoResult{}
               : LastFailure(IoStep::kSync);
  }

  // Closes the finished file and gives it its name. With `replace` a file of that name is
  // replaced in the same step; otherwise a taken name fails with kExists.
  // A replaced file's read-only, hidden and system attributes pass to the new file.
  IoResult Publish(const std::wstring& target, bool replace) {
    const int fd = fd_;
    fd_ = -1;
    if (!DeleteOnClose(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), false)) {
      const IoResult failed = LastFailure(IoStep::kRename);
      _close(fd);
      return failed;
    }
    if (_close(fd) != 0) return IoResult::Failure(IoStep::kWrite, errno);
    const DWORD old = replace ? GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
    const DWORD kept = old == INVALID_FILE_ATTRIBUTES ? 0 : old & kKeptAttributes;
    // A read-only file refuses to be replaced until the flag is off.
    if ((kept & FILE_ATTRIBUTE_READONLY) != 0) {
      SetFileAttributesW(target.c_str(), old & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(name_.c_str(), target.c_str(), flags)) {
      const DWORD error = GetLastError();
      if (kept != 0) SetFileAttributesW(target.c_str(), old);
      const bool taken = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
      return IoResult::Failure(taken ? IoStep::kExists : IoStep::kRename,
                               ErrnoFromWindowsError(error));
    }
    name_.clear();
    if (kept != 0) SetFileAttributesW(target.c_str(), GetFileAttributesW(target.c_str()) | kept);
    return {};
  }

 private:
  std::wstring directory_;
  int fd_ = -1;
  std::wstring name_;
  std::optional<PendingTemporary> pending_;
};

// A device such as NUL or a named pipe cannot be replaced by renaming.
IoResult WriteInPlace(const std::wstring& target, const WriteBody& writeBody) {
  const HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastFailure(IoStep::kOpen);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(file);
    return IoResult::Failure(IoStep::kOpen, EMFILE);
  }
  const IoResult written = WriteToDescriptor(fd, writeBody);
  const bool closed = _close(fd) == 0;
  if (!written) return written;
  return closed ? IoResult{} : IoResult::Failure(IoStep::kWrite, errno);
}

// True when the existing name is a device or a pipe rather than a file on a disk.
bool IsNonRegular(const std::wstring& target) {
  const HANDLE file =
      CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool nonRegular = GetFileType(file) != FILE_TYPE_DISK;
  CloseHandle(file);
  return nonRegular;
}

}  // namespace

struct PendingFile::State {
  std::wstring target;
  bool replace = false;
  bool existed = false;
  std::optional<Temporary> temporary;  // none when written in place, or once published
  bool ready = false;                  // every byte is in the temporary
  bool published = false;
};

PendingFile::PendingFile() = default;
PendingFile::~PendingFile() = default;
PendingFile::PendingFile(PendingFile&&) noexcept = default;
PendingFile& PendingFile::operator=(PendingFile&&) noexcept = default;

IoResult PendingFile::Write(const std::string& path, const WriteBody& writeBody,
                            const WriteOptions& options) {
  state_ = std::make_unique<State>();
  if (path.empty()) return IoResult::Failure(IoStep::kOpen, ENOENT);
  const std::wstring target = ToWide(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      // Device names such as NUL have no attributes to read but can be written.
      if (IsNonRegular(target)) {
        if (options.nonRegular == NonRegularTarget::kRefuse) {
          return IoResult::Failure(IoStep::kNotRegularFile, 0);
        }
        return WriteInPlace(target, writeBody);
      }
      return IoResult::Failure(IoStep::kOpen, ErrnoFromWindowsError(error));
    }
  } else {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return IoResult::Failure(IoStep::kIsDirectory, EISDIR);
    }
    if (options.existing == ExistingFile::kKeep) return IoResult::Failure(IoStep::kExists, EEXIST);
    if (IsNonRegular(target)) {
      if (options.nonRegular == NonRegularTarget::kRefuse) {
        return IoResult::Failure(IoStep::kNotRegularFile, 0);
      }
      return WriteInPlace(target, writeBody);
    }
  }

  Temporary& temporary = state_->temporary.emplace(DirectoryPart(target));
  if (const IoResult created = temporary.Create(); !created) return created;
  if (const IoResult written = WriteToDescriptor(temporary.fd(), writeBody); !written) {
    return written;
  }
  // The data must be on disk before the name moves to it, or a crash could leave the name
  // on an empty file.
  const bool sync = exists || options.syncNewFile == SyncNewFile::kYes;
  if (sync) {
    if (const IoResult flushed = temporary.Flush(); !flushed) return flushed;
  }
  state_->target = target;
  state_->existed = exists;
  state_->replace = options.existing == ExistingFile::kReplace;
  state_->ready = true;
  return {};
}

IoResult PendingFile::Publish() {
  if (!state_ || !state_->temporary) return {};
  if (!state_->ready) return IoResult::Failure(IoStep::kBody, 0);
  const IoResult published = state_->temporary->Publish(state_->target, state_->replace);
  state_->temporary.reset();
  state_->published = published.ok();
  return published;
}

void PendingFile::Withdraw() {
  if (state_ && state_->published && !state_->existed) DeleteFileW(state_->target.c_str());
}

void RemoveTemporariesOnSignal() noexcept {
  WaitForPublications();
  PendingTemporary::RemoveAll([](const wchar_t* path) { DeleteFileW(path); });
}

}  // namespace pixorale
