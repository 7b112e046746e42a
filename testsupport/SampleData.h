// Deterministic sample inputs for tests and benchmarks: text-like words,
// random bytes, runs, and record-shaped binary data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sample {

// A small, fast, fully deterministic generator (xorshift64*).
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }

 private:
  std::uint64_t state_;
};

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint64_t seed) {
  Random random(seed);
  std::vector<std::uint8_t> out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random.Next() >> 56);
  return out;
}

// Words drawn with a skewed frequency, with punctuation and line breaks:
// compresses about as prose does.
inline std::vector<std::uint8_t> Text(std::size_t size, std::uint64_t seed) {
  static const char* const kWords[] = {
      "the", "of", "and", "to", "a", "in", "is", "that", "for", "it", "as", "with", "be", "on", "not",
      "card", "file", "index", "window", "install", "folder", "archive", "program", "system", "value",
      "record", "stream", "block", "register", "shortcut", "destination", "quillbox", "compressed",
      "application", "documents", "association", "extraction", "component", "description", "between"};
  constexpr std::uint32_t kCount = sizeof kWords / sizeof *kWords;
  Random random(seed);
  std::vector<std::uint8_t> out;
  out.reserve(size + 16);
  std::uint32_t column = 0;
  while (out.size() < size) {
    const std::uint32_t pick = random.Below(kCount) * random.Below(kCount) / kCount;  // skew to the front
    std::string word = kWords[pick];
    if (random.Below(12) == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    if (random.Below(9) == 0) word += random.Below(3) == 0 ? "." : ",";
    out.insert(out.end(), word.begin(), word.end());
    column += static_cast<std::uint32_t>(word.size()) + 1;
    out.push_back(column > 72 ? '\n' : ' ');
    if (column > 72) column = 0;
  }
  out.resize(size);
  return out;
}

// Runs of random length (1 to 6000) of random bytes.
inline std::vector<std::uint8_t> Runs(std::size_t size, std::uint64_t seed) {
  Random random(seed);
  std::vector<std::uint8_t> out;
  while (out.size() < size) {
    const std::uint32_t length = 1 + random.Below(random.Below(4) == 0 ? 6000 : 40);
    out.insert(out.end(), length, static_cast<std::uint8_t>(random.Below(4) == 0 ? random.Next() : 0));
  }
  out.resize(size);
  return out;
}

// Fixed-size records with counters, small integers and repeated tags, like
// tables in an executable.
inline std::vector<std::uint8_t> Records(std::size_t size, std::uint64_t seed) {
  Random random(seed);
  std::vector<std::uint8_t> out;
  std::uint32_t counter = 0x401000;
  while (out.size() < size) {
    const std::uint8_t record[16] = {
        0x8B, 0x45, static_cast<std::uint8_t>(random.Below(8) * 4), 0xE8,
        static_cast<std::uint8_t>(counter), static_cast<std::uint8_t>(counter >> 8),
        static_cast<std::uint8_t>(counter >> 16), 0x00, 0x85, 0xC0, 0x74,
        static_cast<std::uint8_t>(random.Below(64)), 0x00, 0x00, 0x00,
        static_cast<std::uint8_t>(random.Below(3) == 0 ? random.Next() : 0xCC)};
    out.insert(out.end(), record, record + sizeof record);
    counter += 4 + random.Below(60);
  }
  out.resize(size);
  return out;
}

// All of the above, interleaved in pieces of a few kilobytes.
inline std::vector<std::uint8_t> Mixed(std::size_t size, std::uint64_t seed) {
  Random random(seed);
  std::vector<std::uint8_t> out;
  while (out.size() < size) {
    const std::size_t piece = 1 + random.Below(8192);
    std::vector<std::uint8_t> part;
    switch (random.Below(4)) {
      case 0: part = Text(piece, random.Next()); break;
      case 1: part = RandomBytes(piece, random.Next()); break;
      case 2: part = Runs(piece, random.Next()); break;
      default: part = Records(piece, random.Next()); break;
    }
    out.insert(out.end(), part.begin(), part.end());
  }
  out.resize(size);
  return out;
}

}  // namespace sample
