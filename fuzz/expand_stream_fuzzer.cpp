// Fuzz target: ExpandStream on arbitrary bytes, and CompressStream-then-
// ExpandStream round trips of the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "filestore/CompressStream.h"
#include "filestore/LZRW1KH.h"
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool initialized = (InitializeLzrw1KH(), true);
  (void)initialized;
  const std::vector<std::uint8_t> input(data, data + size);

  {
    TMemoryStream source(input);
    TMemoryStream dest;
    try {
      TCompressStream().ExpandStream(source, dest);
    } catch (const Exception&) {
      // Wrong magic, short source, damaged record or block: all refused.
    }
  }

  TMemoryStream plain(input);
  TMemoryStream packed;
  TCompressStream().CompressStream(plain, packed, static_cast<std::int64_t>(size));
  packed.SetPosition(0);
  TMemoryStream restored;
  TCompressStream().ExpandStream(packed, restored);
  if (restored.Bytes() != input || packed.Position() != packed.Size()) std::abort();
  return 0;
}
