// Codec benchmark: LZRW1-KH block compress and expand throughput against
// LZ4, zlib level 1 and memcpy, on the same 32,783-byte blocks in one run.
//
//   codec_bench [FILE...]   with no files, a built-in deterministic mix:
//                           text, this build's own binaries, runs, random bytes
#include <lz4.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filestore/LZRW1KH.h"
#include "testsupport/SampleData.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 11;
constexpr double kMinRunSeconds = 0.05;

Bytes ReadFile(const std::filesystem::path& path) {
  Bytes bytes;
  if (std::FILE* f = std::fopen(path.string().c_str(), "rb")) {
    std::uint8_t chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(f);
  }
  return bytes;
}

void Append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

// The build's binaries (this program's folder), sorted by name so that the
// mix is the same from run to run of one build.
Bytes BuildBinaries(std::size_t limit) {
  std::vector<std::filesystem::path> files;
  const auto folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  Bytes out;
  for (const auto& file : files) {
    if (out.size() >= limit) break;
    Append(out, ReadFile(file));
  }
  out.resize(std::min(out.size(), limit));
  return out;
}

Bytes BuiltInMix() {
  Bytes mix;
  Append(mix, sample::Text(3 << 20, 1));
  Append(mix, BuildBinaries(3 << 20));
  Append(mix, sample::Records(1 << 20, 2));
  Append(mix, sample::Runs(1 << 20, 3));
  Append(mix, sample::RandomBytes(1 << 20, 4));
  return mix;
}

struct Codec {
  const char* name;
  std::size_t workRoom;  // output room per block
  std::function<std::size_t(const std::uint8_t*, std::size_t, std::uint8_t*, std::size_t)> compress;
  std::function<std::size_t(const std::uint8_t*, std::size_t, std::uint8_t*, std::size_t)> expand;
};

std::vector<Codec> Codecs() {
  return {
      {"LZRW1-KH", kLzrwMaxBlock + kLzrwCompressSlack,
       [](const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t) {
         return static_cast<std::size_t>(CompressBlock(in, out, static_cast<std::uint16_t>(n)));
       },
       [](const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t) {
         return static_cast<std::size_t>(ExpandBlock(in, out, static_cast<std::uint32_t>(n)));
       }},
      {"LZ4", static_cast<std::size_t>(LZ4_compressBound(kLzrwMaxBlock)),
       [](const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room) {
         return static_cast<std::size_t>(LZ4_compress_default(reinterpret_cast<const char*>(in),
                                                              reinterpret_cast<char*>(out), static_cast<int>(n),
                                                              static_cast<int>(room)));
       },
       [](const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room) {
         return static_cast<std::size_t>(LZ4_decompress_safe(reinterpret_cast<const char*>(in),
                                                             reinterpret_cast<char*>(out), static_cast<int>(n),
                                                             static_cast<int>(room)));
       }},
      {"zlib-1", compressBound(kLzrwMaxBlock),
       [](const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room) {
         uLongf size = room;
         compress2(out, &size, in, n, 1);
         return static_cast<std::size_t>(size);
       },
       [](const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t room) {
         uLongf size = room;
         uncompress(out, &size, in, n);
         return static_cast<std::size_t>(size);
       }},
      {"memcpy", kLzrwMaxBlock,
       [](const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t) {
         std::memcpy(out, in, n);
         return n;
       },
       [](const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t) {
         std::memcpy(out, in, n);
         return n;
       }},
  };
}

struct Result {
  double compressMBs;
  double expandMBs;
  double storedShare;
};

// Runs pass() repeatedly for at least kMinRunSeconds; MB/s of input.
double MegabytesPerSecond(std::size_t bytesPerPass, const std::function<void()>& pass) {
  int passes = 0;
  const auto start = Clock::now();
  double seconds = 0;
  do {
    pass();
    ++passes;
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  } while (seconds < kMinRunSeconds);
  return static_cast<double>(bytesPerPass) * passes / seconds / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One codec's blocks of the corpus, compressed once and checked to round-trip.
class Trial {
 public:
  Trial(const Codec& codec, const Bytes& corpus)
      : codec_(codec), corpus_(corpus), blocks_((corpus.size() + kLzrwMaxBlock - 1) / kLzrwMaxBlock),
        coded_(blocks_, Bytes(codec.workRoom)), codedSize_(blocks_), restored_(kLzrwMaxBlock) {
    CompressAll();
    for (std::size_t b = 0; b < blocks_; ++b) {
      stored_ += codedSize_[b];
      const std::size_t n = codec_.expand(coded_[b].data(), codedSize_[b], restored_.data(), kLzrwMaxBlock);
      if (n != BlockSize(b) || std::memcmp(restored_.data(), BlockAt(b), n) != 0) {
        std::fprintf(stderr, "%s: block %zu does not round-trip\n", codec_.name, b);
        std::exit(1);
      }
    }
  }

  void CompressAll() {
    for (std::size_t b = 0; b < blocks_; ++b)
      codedSize_[b] = codec_.compress(BlockAt(b), BlockSize(b), coded_[b].data(), coded_[b].size());
  }
  void ExpandAll() {
    for (std::size_t b = 0; b < blocks_; ++b)
      codec_.expand(coded_[b].data(), codedSize_[b], restored_.data(), kLzrwMaxBlock);
  }
  double StoredShare() const { return 100.0 * static_cast<double>(stored_) / static_cast<double>(corpus_.size()); }

 private:
  const std::uint8_t* BlockAt(std::size_t b) const { return corpus_.data() + b * kLzrwMaxBlock; }
  std::size_t BlockSize(std::size_t b) const { return std::min<std::size_t>(kLzrwMaxBlock, corpus_.size() - b * kLzrwMaxBlock); }

  const Codec& codec_;
  const Bytes& corpus_;
  std::size_t blocks_;
  std::vector<Bytes> coded_;
  std::vector<std::size_t> codedSize_;
  Bytes restored_;
  std::size_t stored_ = 0;
};

// Runs interleave the codecs, so that a slow spell of the machine falls on
// all of them alike and the ratios hold.
std::vector<Result> MeasureAll(const std::vector<Codec>& codecs, const Bytes& corpus) {
  std::vector<std::unique_ptr<Trial>> trials;
  for (const auto& codec : codecs) trials.push_back(std::make_unique<Trial>(codec, corpus));
  std::vector<std::vector<double>> compress(codecs.size());
  std::vector<std::vector<double>> expand(codecs.size());
  for (int run = 0; run < kRuns; ++run) {
    for (std::size_t i = 0; i < trials.size(); ++i) {
      compress[i].push_back(MegabytesPerSecond(corpus.size(), [&] { trials[i]->CompressAll(); }));
      expand[i].push_back(MegabytesPerSecond(corpus.size(), [&] { trials[i]->ExpandAll(); }));
    }
  }
  std::vector<Result> results;
  for (std::size_t i = 0; i < trials.size(); ++i)
    results.push_back({Median(compress[i]), Median(expand[i]), trials[i]->StoredShare()});
  return results;
}

}  // namespace

int main(int argc, char** argv) {
  InitializeLzrw1KH();
  Bytes corpus;
  for (int i = 1; i < argc; ++i) Append(corpus, ReadFile(argv[i]));
  if (argc == 1) corpus = BuiltInMix();
  if (corpus.empty()) {
    std::fprintf(stderr, "codec_bench: no input\n");
    return 1;
  }
  std::printf("corpus: %s, %.1f MB in %zu blocks of %u bytes; median of %d runs\n\n",
              argc == 1 ? "built-in mix" : "files", static_cast<double>(corpus.size()) / 1e6,
              (corpus.size() + kLzrwMaxBlock - 1) / kLzrwMaxBlock, kLzrwMaxBlock, kRuns);

  const std::vector<Codec> codecs = Codecs();
  const std::vector<Result> results = MeasureAll(codecs, corpus);

  std::printf("%-10s %8s %14s %14s %16s %16s\n", "codec", "stored", "compress MB/s", "expand MB/s",
              "LZRW1-KH/x comp", "LZRW1-KH/x exp");
  for (std::size_t i = 0; i < codecs.size(); ++i) {
    std::printf("%-10s %7.1f%% %14.0f %14.0f %16.2f %16.2f\n", codecs[i].name, results[i].storedShare,
                results[i].compressMBs, results[i].expandMBs, results[0].compressMBs / results[i].compressMBs,
                results[0].expandMBs / results[i].expandMBs);
  }
  FinalizeLzrw1KH();
  return 0;
}
