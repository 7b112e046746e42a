// A small zip reader for the tests, written apart from the engine so that it
// shares none of its faults: it trusts nothing, checks every CRC, and hands
// back each member's raw bytes for byte-for-byte comparisons. Used where
// Python and Info-ZIP are not at hand (under Wine).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace readback {

using Bytes = std::vector<std::uint8_t>;

struct Member {
  std::string name;
  std::uint16_t method = 0;
  std::uint32_t dosDateTime = 0;
  Bytes data;     // inflated, CRC checked
  Bytes rawSpan;  // local header and compressed data, as stored
};

struct Archive {
  std::vector<Member> members;  // central directory order
  Bytes comment;
};

Bytes ReadFileBytes(const std::string& path);

// Raises std::runtime_error naming the first fault found.
Archive Read(const std::string& path);

}  // namespace readback
