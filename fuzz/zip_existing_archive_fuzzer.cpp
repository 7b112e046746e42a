// The reader of archives being added to, on arbitrary bytes: it either
// refuses them with EZipArchive or gives members that lie inside the
// input and share no byte.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/MemoryStream.h"
#include "fuzz/FuzzTarget.h"
#include "zipdll/engine/ExistingArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
  try {
    const ExistingArchive archive = ReadExistingArchive(stream);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;
    for (const auto& member : archive.members) {
      if (member.localOffset + member.spanSize > size || member.centralHeader.size() < 46) std::abort();
      spans.emplace_back(member.localOffset, member.localOffset + member.spanSize);
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i) {
      if (spans[i - 1].second > spans[i].first) std::abort();
    }
  } catch (const EZipArchive&) {
  } catch (const EStreamError&) {
  }
  return 0;
}
