// Fuzz target: the extraction engine on arbitrary archive bytes, in test
// mode and in extract mode with and without folder names, into a scratch
// folder that is emptied after every input. Whatever the bytes, the engine
// must not crash, must report no more members than the archive can hold,
// and must write nothing beside its target folder.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "fuzz/FuzzTarget.h"
#include "unzdll/engine/UnzipEngine.h"

namespace {

namespace fs = std::filesystem;

// The scratch folder of this process, removed when it exits (the path is
// never destroyed, so the exit handler can still use it).
const fs::path& Scratch() {
  static const fs::path* const folder = [] {
    const auto unique = std::hash<std::thread::id>{}(std::this_thread::get_id()) ^
                        static_cast<std::size_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    auto* path = new fs::path(fs::temp_directory_path() / ("unzip_engine_fuzz_" + std::to_string(unique)));
    fs::create_directories(*path);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(Scratch(), ignored);
    });
    return path;
  }();
  return *folder;
}

// Files anywhere under the scratch folder, the archive itself not counted.
std::size_t FilesOutside(const fs::path& target) {
  std::size_t outside = 0;
  for (const auto& entry : fs::recursive_directory_iterator(Scratch())) {
    const fs::path relative = entry.path().lexically_relative(target);
    const bool inTarget = !relative.empty() && *relative.begin() != "..";
    if (!inTarget && entry.path() != Scratch() / "archive.zip" && entry.path() != target) ++outside;
  }
  return outside;
}

void RunOnce(const fs::path& archive, const fs::path& target, bool test, bool folderNames, std::size_t size) {
  UnzipOptions options;
  options.archivePath = archive.string();
  options.targetFolder = target.string();
  options.test = test;
  options.folderNames = folderNames;
  options.overwrite = true;
  options.password = "fuzz";
  std::size_t reports = 0;
  const int count = RunUnzip(options, [&reports](const UnzipEvent&) { return ++reports < 100000; });
  // Every member takes at least 46 bytes of central directory.
  if (count < 0 || static_cast<std::size_t>(count) > size / 46) std::abort();
  if (FilesOutside(target) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path archive = Scratch() / "archive.zip";
  const fs::path target = Scratch() / "out";
  std::ofstream(archive, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                    static_cast<std::streamsize>(size));
  fs::create_directories(target);
  RunOnce(archive, target, true, false, size);
  RunOnce(archive, target, false, true, size);
  RunOnce(archive, target, false, false, size);
  fs::remove_all(target);
  return 0;
}
