// Setting the PE image checksum: only pesum writes it.
#include "base/ByteWriter.h"
#include "tools/pesum/PeChecksum.h"

void SetPeChecksum(std::span<std::uint8_t> bytes, std::size_t checksumOffset) {
  const auto write = [&](std::uint32_t value) { PutLittleEndian(bytes.subspan(checksumOffset, 4), value); };
  write(0);
  std::uint32_t checksum = PeChecksum(bytes, checksumOffset);
  write(checksum);
  // The folded sum has two spellings of zero, 0 and 0xFFFF: a sum that comes
  // to one of them may come to the other once the field holds it, and then
  // the other is the value that checks.
  if (PeChecksum(bytes, checksumOffset) != checksum) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    write(checksum - length == 0 ? length + 0xFFFF : length);
  }
}
