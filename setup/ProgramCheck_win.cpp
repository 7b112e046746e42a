#include "setup/ProgramCheck_win.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "tools/pesum/PeChecksum.h"

namespace {

// Every program header lies well within the first piece.
constexpr DWORD kPieceSize = 64 * 1024;

[[noreturn]] void CannotCheck(const char* why) {
  throw Exception(std::string("The setup program cannot check its own file (") + why + ")");
}

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(HANDLE handle) : handle_(handle) {}
  ~ReadOnlyFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

void CheckProgramFile() {
  // Wide calls: a path the ANSI code page cannot spell is still found.
  std::vector<wchar_t> path(32768);
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) CannotCheck("no path");
  const ReadOnlyFile file(CreateFileW(path.data(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) CannotCheck("the file cannot be opened");
  // Read piece by piece rather than mapped whole: a program that carries a
  // large archive must not hold all of it in memory twice at start.
  std::vector<std::uint8_t> piece(kPieceSize);
  PeChecksumSum sum;
  std::optional<std::uint32_t> stored;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), piece.data(), kPieceSize, &got, nullptr)) CannotCheck("the file cannot be read");
    if (got == 0) break;
    const std::span<const std::uint8_t> bytes(piece.data(), got);
    if (!stored) {
      const std::optional<std::size_t> field = PeChecksumOffset(bytes);
      if (!field) throw Exception(kDamagedProgram);
      stored = StoredPeChecksum(bytes, *field);
    }
    sum.Add(bytes);
  }
  if (!stored || *stored == 0 || sum.Checksum(*stored) != *stored) throw Exception(kDamagedProgram);
}
