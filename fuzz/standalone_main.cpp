// Replays fuzz inputs without libFuzzer: every file named on the command
// line, or found in a folder named there, goes once through the target.
// This is how the seed corpus runs as an ordinary test in every build.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "fuzz/FuzzTarget.h"

namespace {

bool Replay(const std::filesystem::path& file) {
  std::FILE* f = std::fopen(file.string().c_str(), "rb");
  if (f == nullptr) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return false;
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(f);
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file() && !Replay(entry.path())) return 1;
        replayed += entry.is_regular_file() ? 1 : 0;
      }
    } else {
      if (!Replay(path)) return 1;
      ++replayed;
    }
  }
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
