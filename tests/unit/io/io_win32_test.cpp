// The Windows forms of writing and reading files: UTF-8 names reach the system as UTF-16,
// bytes pass untranslated, and a failed write leaves the old file and no temporary.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "io/atomic_file.h"
#include "io/read_only_file.h"
#include "io/utf8_path.h"
#include "support/temp_dir.h"

namespace pixorale::test {
namespace {

namespace fs = std::filesystem;

// Every byte value, among them 0A and 0D, which a text-mode stream would change.
std::vector<uint8_t> AllByteValues() {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<uint8_t>(i));
  return bytes;
}

WriteBody BodyOf(const std::vector<uint8_t>& bytes) {
  return [bytes](std::ostream& out) {
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  };
}

std::string Utf8(const fs::path& path) {
  return Utf8FromPath(path);
}

size_t EntriesIn(const fs::path& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(WindowsFiles, JapaneseNameIsWrittenAndReadUnderItsOwnName) {
  TempDir dir;
  const fs::path path = dir.path() / PathFromUtf8("テスト.mid");
  ASSERT_TRUE(WriteFileAtomically(Utf8(path), BodyOf(AllByteValues())));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(EntriesIn(dir.path()), 1u);

  ReadOnlyFile file;
  ASSERT_TRUE(file.Open(Utf8(path)));
  std::vector<uint8_t> back(300);
  EXPECT_EQ(file.ReadAt(0, back), 256);
  back.resize(256);
  EXPECT_EQ(back, AllByteValues());
}

TEST(WindowsFiles, ReplacingKeepsNoTemporaryAndKeepRefusesATakenName) {
  TempDir dir;
  const std::string path = Utf8(dir / "out.mid");
  ASSERT_TRUE(WriteFileAtomically(path, BodyOf({1, 2, 3})));
  ASSERT_TRUE(WriteFileAtomically(path, BodyOf({4, 5})));
  EXPECT_EQ(ReadFileBytes(dir / "out.mid"), (std::vector<uint8_t>{4, 5}));

  const IoResult kept = WriteFileAtomically(path, BodyOf({6}), {.existing = ExistingFile::kKeep});
  EXPECT_EQ(kept.failedStep, IoStep::kExists);
  EXPECT_EQ(ReadFileBytes(dir / "out.mid"), (std::vector<uint8_t>{4, 5}));
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(WindowsFiles, FailingBodyLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  const std::string path = Utf8(dir / "out.mid");
  ASSERT_TRUE(WriteFileAtomically(path, BodyOf({1, 2, 3})));
  const IoResult failed = WriteFileAtomically(path, [](std::ostream& out) {
    out << "half";
    return false;
  });
  EXPECT_EQ(failed.failedStep, IoStep::kBody);
  EXPECT_EQ(ReadFileBytes(dir / "out.mid"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(WindowsFiles, UnreachablePathsSayWhy) {
  TempDir dir;
  EXPECT_EQ(WriteFileAtomically(Utf8(dir / "missing" / "x.mid"), BodyOf({1})).failedStep,
            IoStep::kCreate);
  EXPECT_EQ(WriteFileAtomically(Utf8(dir.path()), BodyOf({1})).failedStep, IoStep::kIsDirectory);
  EXPECT_EQ(WriteFileAtomically("", BodyOf({1})).failedStep, IoStep::kOpen);

  ReadOnlyFile file;
  EXPECT_EQ(file.Open(Utf8(dir / "absent.bmp")).failedStep, IoStep::kOpen);
  EXPECT_EQ(file.Open(Utf8(dir.path())).failedStep, IoStep::kIsDirectory);
  // A device has no end: refused without reading.
  EXPECT_EQ(file.Open("NUL").failedStep, IoStep::kNotRegularFile);
  EXPECT_FALSE(file.IsOpen());
}

TEST(WindowsFiles, DeviceIsWrittenInPlaceOrRefused) {
  EXPECT_TRUE(WriteFileAtomically("NUL", BodyOf({1, 2})));
  EXPECT_EQ(
      WriteFileAtomically("NUL", BodyOf({1}), {.nonRegular = NonRegularTarget::kRefuse}).failedStep,
      IoStep::kNotRegularFile);
}

TEST(WindowsFiles, AReplacedFileKeepsItsReadOnlyHiddenAndSystemAttributes) {
  TempDir dir;
  const fs::path path = dir / "out.mid";
  WriteFileBytes(path, {1, 2, 3});
  const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), kept));
  const IoResult written = WriteFileAtomically(Utf8(path), BodyOf({4, 5}));
  const DWORD attributes = GetFileAttributesW(path.c_str());
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
  ASSERT_TRUE(written);
  EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{4, 5}));
  EXPECT_EQ(attributes & kept, kept);
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

// The child's part of the next test: writes half a file, then ends the way the console
// handler ends it (the handler's removal, then ExitProcess) or the way a kill does.
constexpr wchar_t kChildFolder[] = L"PIXORALE_TEST_INTERRUPTED_WRITE";
constexpr wchar_t kChildEnding[] = L"PIXORALE_TEST_INTERRUPTED_ENDING";

[[noreturn]] void InterruptedWriter(const std::wstring& folder, const std::wstring& ending) {
  WriteFileAtomically(Utf8(fs::path(folder) / "out.mid"), [&](std::ostream& out) {
    out << std::string(100000, 'x');
    out.flush();
    if (ending == L"handler") {
      RemoveTemporariesOnSignal();
      ExitProcess(130);
    }
    TerminateProcess(GetCurrentProcess(), 9);
    return true;
  });
  ExitProcess(1);
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

// Ctrl-C reaches the console handler on a thread of its own while the writing thread holds
// the temporary: it must still go, and go with a process that is killed outright.
TEST(WindowsFiles, AnInterruptedWriteLeavesNoTemporary) {
  if (const std::wstring folder = Environment(kChildFolder); !folder.empty()) {
    InterruptedWriter(folder, Environment(kChildEnding));
  }
  wchar_t self[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  for (const auto& [ending, status] : {std::pair{L"handler", 130u}, {L"terminate", 9u}}) {
    TempDir dir;
    SetEnvironmentVariableW(kChildFolder, dir.path().c_str());
    SetEnvironmentVariableW(kChildEnding, ending);
    std::wstring command = std::wstring(L"\"") + self +
                           L"\" --gtest_filter=WindowsFiles.AnInterruptedWriteLeavesNoTemporary";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const bool started = CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &child) != 0;
    SetEnvironmentVariableW(kChildFolder, nullptr);
    SetEnvironmentVariableW(kChildEnding, nullptr);
    ASSERT_TRUE(started);
    WaitForSingleObject(child.hProcess, 60000);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    EXPECT_EQ(exitCode, status);
    EXPECT_EQ(EntriesIn(dir.path()), 0u)
        << "ending: " << (ending == std::wstring(L"handler") ? "handler" : "terminate");
  }
}

TEST(WindowsFiles, ReadsAtOffsetsAndStopsShortAtTheEnd) {
  TempDir dir;
  WriteFileBytes(dir / "f.bin", AllByteValues());
  ReadOnlyFile file;
  ASSERT_TRUE(file.Open(Utf8(dir / "f.bin")));
  EXPECT_EQ(file.Size(), 256u);
  std::array<uint8_t, 4> out{};
  EXPECT_EQ(file.ReadAt(10, out), 4);
  EXPECT_EQ(out, (std::array<uint8_t, 4>{10, 11, 12, 13}));
  EXPECT_EQ(file.ReadAt(254, out), 2);
  EXPECT_EQ(file.ReadAt(1000, out), 0);
}

}  // namespace
}  // namespace pixorale::test
