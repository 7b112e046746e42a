// pesum: sets or checks the checksum of a Windows program file.
//
//   pesum FILE           writes FILE's checksum into its CheckSum field
//   pesum --check FILE   exit 0 when the field holds FILE's checksum, 1 not
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "tools/pesum/PeChecksum.h"

namespace {

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  TFileStream stream(path, FileMode::OpenRead);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

std::size_t ChecksumOffset(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::optional<std::size_t> offset = PeChecksumOffset(bytes);
  if (!offset) throw Exception(path + " is no Windows program file");
  return *offset;
}

// The field is written in place: the file keeps its size, so a failure
// part-way cannot leave it shorter.
void Set(const std::string& path) {
  std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  const std::size_t offset = ChecksumOffset(path, bytes);
  SetPeChecksum(bytes, offset);
  TFileStream stream(path, FileMode::OpenReadWrite);
  stream.SetPosition(static_cast<std::int64_t>(offset));
  stream.WriteBuffer(&bytes[offset], 4);
}

bool Check(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  const std::size_t offset = ChecksumOffset(path, bytes);
  return StoredPeChecksum(bytes, offset) == PeChecksum(bytes, offset);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 2) {
      Set(argv[1]);
      return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0) return Check(argv[2]) ? 0 : 1;
    std::fputs("usage: pesum FILE | pesum --check FILE\n", stderr);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pesum: %s\n", e.what());
    return 2;
  }
}
