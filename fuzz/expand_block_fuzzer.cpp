// Fuzz target: ExpandBlock on arbitrary bytes, and CompressBlock-then-
// ExpandBlock round trips of the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "filestore/LZRW1KH.h"
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool initialized = (InitializeLzrw1KH(), true);
  (void)initialized;
  // Exact-size buffers: any access beyond them is a sanitizer report.
  auto restored = std::make_unique<std::uint8_t[]>(kLzrwMaxBlock);

  if (size >= 1 && size <= kLzrwMaxCoded) {
    try {
      ExpandBlock(data, restored.get(), static_cast<std::uint32_t>(size));
    } catch (const ELzrw1KHCompressor&) {
      // A damaged block is refused; that is the expected outcome.
    }
  }

  const auto n = static_cast<std::uint16_t>(size < kLzrwMaxBlock ? size : kLzrwMaxBlock);
  auto input = std::make_unique<std::uint8_t[]>(n);
  if (n > 0) std::memcpy(input.get(), data, n);
  auto block = std::make_unique<std::uint8_t[]>(n + kLzrwCompressSlack);
  const std::uint16_t coded = CompressBlock(input.get(), block.get(), n);
  if (coded < 1 || coded > n + 1) std::abort();
  const std::uint16_t back = ExpandBlock(block.get(), restored.get(), coded);
  if (back != n || std::memcmp(restored.get(), data, n) != 0) std::abort();
  return 0;
}
