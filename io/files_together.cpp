#include <cerrno>
#include <vector>

#include "io/atomic_file.h"
#include "io/output_target.h"
#include "io/publication.h"

namespace pixorale {

IoResult WriteFileAtomically(const std::string& path, const WriteBody& writeBody,
                             const WriteOptions& options) {
  PendingFile file;
  if (const IoResult written = file.Write(path, writeBody, options); !written) return written;
  return file.Publish();
}

FilesResult WriteFilesTogether(std::span<const PlannedFile> files) {
  std::vector<PendingFile> pending(files.size());
  // Files first: a descriptor cannot take back what it was given, so it is written only once
  // every file is complete. A single file has nothing to wait for.
  const auto inPlace = [&files](const PlannedFile& file) {
    return file.descriptor.has_value() ||
           (files.size() > 1 && ResolveOutputTarget(file.path).descriptor.has_value());
  };
  for (const bool descriptors : {false, true}) {
    for (size_t i = 0; i < files.size(); ++i) {
      const PlannedFile& file = files[i];
      if (inPlace(file) != descriptors) continue;
      const IoResult written = file.descriptor
                                   ? WriteToDescriptor(*file.descriptor, file.body)
                                   : pending[i].Write(file.path, file.body, file.options);
      if (!written) return {written, i};
    }
  }
  const Publication publication;
  if (!publication.started()) return {IoResult::Failure(IoStep::kRename, EINTR), 0};
  for (size_t i = 0; i < files.size(); ++i) {
    if (const IoResult published = pending[i].Publish(); !published) {
      for (size_t done = 0; done < i; ++done) pending[done].Withdraw();
      return {published, i};
    }
  }
  return {};
}

}  // namespace pixorale
