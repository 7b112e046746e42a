// Unzip benchmark: our engine, through the interface call that UnzDllExec
// runs, against `unzip -o -q`, `bsdtar -xf` and `7z x -y`, interleaved run
// by run, each run extracting into a fresh folder. Prints the median wall
// and CPU seconds of each tool and our ratio against the fastest peer.
//
//   unzip_bench [--runs N] [--work DIR] ARCHIVE...
//   unzip_bench --extract ARCHIVE DIR      (one extraction by our engine)
//
// Every tool runs as a child process, ours too, so all pay the same start-up.
// Folders are deleted only at the end: creating files soon after deleting
// many is slow on these virtual machines and would blur the figures.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "unzdll/dll/UnzipCall.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Tool {
  std::string name;
  std::vector<std::string> command;  // the archive and the folder are appended as the tool wants them
};

struct Timing {
  double wall;
  double cpu;
};

std::int32_t TAV_STDCALL Quiet(UnzipCallbackRecord* record) {
  if (record->ActionCode >= kCallbackMessage && record->ErrorCode != 0) std::fprintf(stderr, "%s\n", record->Text);
  return kCallbackGoOn;
}

int ExtractWithOurs(const std::string& archive, const std::string& folder) {
  fs::current_path(folder);
  auto params = std::make_unique<UnzipParams>();
  *params = UnzipParams{};
  std::vector<char> name(kUnzipPathBufferSize);
  char password[kUnzipPasswordBufferSize] = "";
  std::strncpy(name.data(), archive.c_str(), name.size() - 1);
  params->Version = kUnzipInterfaceVersion;
  params->Callback = Quiet;
  params->OverwriteFlag = kUnzipTrue;
  // With folder names, as the peers extract: the same files in the same places.
  params->DirNamesFlag = kUnzipTrue;
  params->Password = password;
  params->ZipFilename = name.data();
  return RunUnzipCall(params.get()) > 0 ? 0 : 1;
}

std::vector<std::string> CommandFor(const std::string& tool, const std::string& self, const std::string& archive,
                                    const std::string& folder) {
  if (tool == "ours") return {self, "--extract", archive, folder};
  if (tool == "unzip -o -q") return {"unzip", "-o", "-q", archive, "-d", folder};
  if (tool == "bsdtar -xf") return {"bsdtar", "-xf", archive, "-C", folder};
  std::string output = "-o";
  output.append(folder);
  return {"7z", "x", "-y", "-bd", output, archive};
}

Timing RunChild(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", argv[0]);
    std::exit(1);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", argv[0]);
    std::exit(1);
  }
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return {wall, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Memory the system hands out for the first time is slow to touch on these
// virtual machines; touching a few hundred MB first keeps that out of the runs.
void TouchMemory() {
  constexpr std::size_t kBytes = std::size_t{512} << 20;
  auto block = std::make_unique<char[]>(kBytes);
  for (std::size_t i = 0; i < kBytes; i += 4096) block[i] = static_cast<char>(i);
  std::printf("(touched %zu MB, check %d)\n", kBytes >> 20, block[kBytes - 4096]);
}

void Benchmark(const std::string& self, const std::string& archive, int runs, const fs::path& work) {
  const std::vector<std::string> tools = {"ours", "unzip -o -q", "bsdtar -xf", "7z x -y"};
  std::vector<std::vector<Timing>> timings(tools.size());
  // One warm-up round brings the archive into the page cache for everyone.
  for (int run = -1; run < runs; ++run) {
    for (std::size_t t = 0; t < tools.size(); ++t) {
      const fs::path folder = work / std::to_string(run + 1) / std::to_string(t);
      fs::create_directories(folder);
      const Timing timing = RunChild(CommandFor(tools[t], self, fs::absolute(archive).string(), folder.string()));
      if (run >= 0) timings[t].push_back(timing);
    }
  }
  std::printf("\n%s (%d runs, medians)\n", archive.c_str(), runs);
  std::printf("  %-14s %9s %9s %12s\n", "tool", "wall s", "CPU s", "wall ratio");
  double fastestPeer = 1e9;
  std::vector<double> walls;
  for (std::size_t t = 0; t < tools.size(); ++t) {
    std::vector<double> wall;
    for (const Timing& timing : timings[t]) wall.push_back(timing.wall);
    walls.push_back(Median(wall));
    if (t > 0) fastestPeer = std::min(fastestPeer, walls.back());
  }
  for (std::size_t t = 0; t < tools.size(); ++t) {
    std::vector<double> cpu;
    for (const Timing& timing : timings[t]) cpu.push_back(timing.cpu);
    std::printf("  %-14s %9.3f %9.3f %11.2fx\n", tools[t].c_str(), walls[t], Median(cpu), walls[t] / fastestPeer);
  }
  std::printf("  ours against the fastest peer: %.2fx (target at most 0.80x)\n", walls[0] / fastestPeer);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--extract") == 0) return ExtractWithOurs(argv[2], argv[3]);
  int runs = 7;
  fs::path work = fs::temp_directory_path() / "unzip_bench";
  std::vector<std::string> archives;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--work") == 0 && i + 1 < argc)
      work = argv[++i];
    else
      archives.emplace_back(argv[i]);
  }
  if (archives.empty()) {
    std::fprintf(stderr, "usage: unzip_bench [--runs N] [--work DIR] ARCHIVE...\n");
    return 2;
  }
  const std::string self = fs::canonical("/proc/self/exe").string();
  TouchMemory();
  for (const std::string& archive : archives) {
    fs::remove_all(work);
    Benchmark(self, archive, runs, work);
    fs::remove_all(work);
  }
  return 0;
}
