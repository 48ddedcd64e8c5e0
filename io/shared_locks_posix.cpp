#include <linux/magic.h>
#include <sys/vfs.h>

#include <algorithm>
#include <array>

#include "io/shared_locks.h"

namespace pixorale {
namespace {

// File systems whose files other machines reach too, by statfs's type number. FUSE is among
// them: sshfs is one. The cluster file systems at the end are not in <linux/magic.h>.
using FileSystemType = decltype(statfs::f_type);
constexpr FileSystemType kGfs2Magic = 0x01161970;
constexpr FileSystemType kLustreMagic = 0x0BD00BD0;
constexpr FileSystemType kGpfsMagic = 0x47504653;
constexpr FileSystemType kOrangeFsMagic = 0x20030528;
constexpr std::array<FileSystemType, 16> kNetworkFileSystems = {
    NFS_SUPER_MAGIC,  SMB_SUPER_MAGIC,  CIFS_SUPER_MAGIC, SMB2_SUPER_MAGIC,
    CODA_SUPER_MAGIC, AFS_SUPER_MAGIC,  AFS_FS_MAGIC,     CEPH_SUPER_MAGIC,
    V9FS_MAGIC,       FUSE_SUPER_MAGIC, NCP_SUPER_MAGIC,  OCFS2_SUPER_MAGIC,
    kGfs2Magic,       kLustreMagic,     kGpfsMagic,       kOrangeFsMagic};

}  // namespace

bool LocksAreSharedIn(const std::filesystem::path& directory) {
  struct statfs info {};
  // A folder that cannot be looked at is not swept either.
  if (::statfs(directory.c_str(), &info) != 0) return false;
  return std::find(kNetworkFileSystems.begin(), kNetworkFileSystems.end(), info.f_type) ==
         kNetworkFileSystems.end();
}

}  // namespace pixorale
