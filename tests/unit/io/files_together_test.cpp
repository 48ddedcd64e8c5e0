#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "io/atomic_file.h"
#include "support/temp_dir.h"

namespace pixorale {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;
using Bytes = std::vector<uint8_t>;

WriteBody BodyOf(const std::string& text) {
  return [text](std::ostream& out) {
    out << text;
    return true;
  };
}

Bytes BytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

PlannedFile File(const fs::path& path, WriteBody body,
                 ExistingFile existing = ExistingFile::kReplace) {
  return {path.string(), std::nullopt, std::move(body), {.existing = existing}};
}

TEST(WriteFilesTogether, NoFileAppearsBeforeEveryOneIsComplete) {
  TempDir dir;
  std::set<std::string> seenWhileWriting;
  const std::vector<PlannedFile> files = {
      File(dir / "a.mid", BodyOf("midi")),
      File(dir / "a.wav", BodyOf("wav")),
      File(dir / "a.png",
           [&](std::ostream& out) {
             seenWhileWriting = Entries(dir.path());
             out << "png";
             return true;
           }),
  };
  ASSERT_TRUE(WriteFilesTogether(files));
  EXPECT_TRUE(seenWhileWriting.empty());
  EXPECT_EQ(ReadFileBytes(dir / "a.mid"), BytesOf("midi"));
  EXPECT_EQ(ReadFileBytes(dir / "a.wav"), BytesOf("wav"));
  EXPECT_EQ(ReadFileBytes(dir / "a.png"), BytesOf("png"));
}

TEST(WriteFilesTogether, AFailureLeavesNoneOfTheNewFilesAndEveryOldOne) {
  for (const bool existed : {false, true}) {
    TempDir dir;
    if (existed) {
      for (const char* name : {"a.mid", "a.wav", "a.png"}) WriteFileBytes(dir / name, {'o'});
    }
    bool lastRan = false;
    const std::vector<PlannedFile> files = {
        File(dir / "a.mid", BodyOf("midi")),
        File(dir / "a.wav", [](std::ostream& out) { return !(out << "half").fail() && false; }),
        File(dir / "a.png",
             [&](std::ostream&) {
               lastRan = true;
               return true;
             }),
    };
    const FilesResult result = WriteFilesTogether(files);
    EXPECT_EQ(result.io.failedStep, IoStep::kBody);
    EXPECT_EQ(result.failed, 1u);
    EXPECT_FALSE(lastRan);
    if (existed) {
      EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"a.mid", "a.png", "a.wav"}));
      for (const char* name : {"a.mid", "a.wav", "a.png"}) {
        EXPECT_EQ(ReadFileBytes(dir / name), Bytes{'o'});
      }
    } else {
      EXPECT_TRUE(fs::is_empty(dir.path()));
    }
  }
}

// Without --force a name taken while the files were written is kept, and no file is named.
TEST(WriteFilesTogether, ANameTakenWhileWritingIsKeptAndNothingIsNamed) {
  TempDir dir;
  const std::vector<PlannedFile> files = {
      File(
          dir / "a.mid",
          [&](std::ostream& out) {
            WriteFileBytes(dir / "a.wav", BytesOf("someone else's"));
            out << "midi";
            return true;
          },
          ExistingFile::kKeep),
      File(dir / "a.wav", BodyOf("wav"), ExistingFile::kKeep),
  };
  const FilesResult result = WriteFilesTogether(files);
  EXPECT_EQ(result.io.failedStep, IoStep::kExists);
  EXPECT_EQ(result.failed, 1u);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"a.wav"}));
  EXPECT_EQ(ReadFileBytes(dir / "a.wav"), BytesOf("someone else's"));
}

// A name taken after its file was written is found when the file is named: the new files
// already under their names are taken back.
TEST(WriteFilesTogether, ANameTakenJustBeforeNamingIsKeptAndTheOthersTakenBack) {
  TempDir dir;
  const std::vector<PlannedFile> files = {
      File(dir / "a.mid", BodyOf("midi"), ExistingFile::kKeep),
      File(
          dir / "a.wav",
          [&](std::ostream& out) {
            out << "wav";
            return true;
          },
          ExistingFile::kKeep),
      File(
          dir / "a.png",
          [&](std::ostream& out) {
            WriteFileBytes(dir / "a.wav", BytesOf("someone else's"));
            out << "png";
            return true;
          },
          ExistingFile::kKeep),
  };
  const FilesResult result = WriteFilesTogether(files);
  EXPECT_EQ(result.io.failedStep, IoStep::kExists);
  EXPECT_EQ(result.failed, 1u);
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"a.wav"}));
  EXPECT_EQ(ReadFileBytes(dir / "a.wav"), BytesOf("someone else's"));
}

// A descriptor cannot take back what it was sent: it is written once every file is complete.
TEST(WriteFilesTogether, DescriptorsAreWrittenAfterTheFiles) {
  for (const bool fileFails : {false, true}) {
    TempDir dir;
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string byName = "/proc/self/fd/" + std::to_string(ends[1]);
    std::vector<std::string> order;
    const auto noting = [&order](std::string text, bool ok) -> WriteBody {
      return [&order, text, ok](std::ostream& out) {
        order.push_back(text);
        out << text;
        return ok;
      };
    };
    const std::vector<PlannedFile> files = {
        {"-", ends[1], noting("given;", true), {}},
        {byName, std::nullopt, noting("named;", true), {}},
        File(dir / "a.mid", noting("file;", !fileFails)),
    };
    const FilesResult result = WriteFilesTogether(files);
    ::close(ends[1]);
    char buffer[64] = {};
    const ssize_t got = ::read(ends[0], buffer, sizeof buffer);
    ::close(ends[0]);
    if (fileFails) {
      EXPECT_FALSE(result);
      EXPECT_EQ(order, (std::vector<std::string>{"file;"}));
      EXPECT_EQ(got, 0);
    } else {
      EXPECT_TRUE(result);
      EXPECT_EQ(order.front(), "file;");
      EXPECT_EQ(std::string(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0))),
                "given;named;");
      EXPECT_EQ(ReadFileBytes(dir / "a.mid"), BytesOf("file;"));
    }
  }
}

}  // namespace
}  // namespace pixorale
