// Fuzz target: the checksum's header walk on arbitrary bytes. It must never
// read outside them; whatever it accepts takes its checksum, which then
// checks, and a changed byte outside the field then no longer does.
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzTarget.h"
#include "tools/pesum/PeChecksum.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> image(data, data + size);
  const std::optional<std::size_t> offset = PeChecksumOffset(image);
  if (!offset) return 0;
  if (*offset + 4 > image.size()) std::abort();
  SetPeChecksum(image, *offset);
  if (StoredPeChecksum(image, *offset) != PeChecksum(image, *offset)) std::abort();
  const std::size_t changed = *offset >= 1 ? 0 : image.size() - 1;
  image[changed] ^= 0x01;
  if (StoredPeChecksum(image, *offset) == PeChecksum(image, *offset)) std::abort();
  return 0;
}
