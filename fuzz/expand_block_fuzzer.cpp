// Fuzz target: ExpandBlock on arbitrary bytes, checked against the slow,
// fully checked reference expander (same verdict, same bytes), and
// CompressBlock-then-ExpandBlock round trips of the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "filestore/LZRW1KH.h"
#include "filestore/tests/reference_codec.h"
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool initialized = (InitializeLzrw1KH(), true);
  (void)initialized;
  // Exact-size buffers: any access beyond them is a sanitizer report.
  auto restored = std::make_unique<std::uint8_t[]>(kLzrwMaxBlock);

  if (size <= kLzrwMaxCoded) {
    const auto expected = reference::ExpandChecked(std::vector<std::uint8_t>(data, data + size));
    bool accepted = true;
    std::uint16_t count = 0;
    try {
      count = ExpandBlock(data, restored.get(), static_cast<std::uint32_t>(size));
    } catch (const ELzrw1KHCompressor&) {
      accepted = false;
    }
    if (accepted != expected.has_value()) std::abort();
    if (accepted && (count != expected->size() || !std::equal(expected->begin(), expected->end(), restored.get())))
      std::abort();
  }

  const auto n = static_cast<std::uint16_t>(size < kLzrwMaxBlock ? size : kLzrwMaxBlock);
  auto input = std::make_unique<std::uint8_t[]>(n);
  if (n > 0) std::memcpy(input.get(), data, n);
  auto block = std::make_unique<std::uint8_t[]>(n + kLzrwCompressSlack);
  const std::uint16_t coded = CompressBlock(input.get(), block.get(), n);
  if (coded < 1 || coded > n + 1) std::abort();
  const std::uint16_t back = ExpandBlock(block.get(), restored.get(), coded);
  if (back != n || !std::equal(input.get(), input.get() + n, restored.get())) std::abort();
  return 0;
}
