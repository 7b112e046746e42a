// Hand-built zip archive bytes for the directory reader's tests: local
// headers with any field value, the other signatures, padding.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zipbytes {

struct LocalMember {
  std::string name;
  std::vector<std::uint8_t> data;
  std::vector<std::uint8_t> extra;
  std::uint16_t method = 0;
  std::uint32_t crc = 0x12345678;
  // Sizes as the header states them; unset: the real data size.
  std::int64_t statedPacked = -1;
  std::int64_t statedNameLength = -1;
};

class Builder {
 public:
  Builder& Bytes(const std::vector<std::uint8_t>& bytes) {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Builder& Fill(std::size_t count, std::uint8_t value) {
    out_.insert(out_.end(), count, value);
    return *this;
  }
  Builder& U16(std::uint32_t value) {
    out_.push_back(static_cast<std::uint8_t>(value));
    out_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
  }
  Builder& U32(std::uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }

  // Signature, the 26 header bytes, name, extra field, data.
  Builder& Local(const LocalMember& m) {
    U32(0x04034B50).U16(20).U16(0).U16(m.method).U32(0x5A2C6B3D).U32(m.crc);
    const auto packed = m.statedPacked >= 0 ? static_cast<std::uint32_t>(m.statedPacked)
                                            : static_cast<std::uint32_t>(m.data.size());
    U32(packed).U32(static_cast<std::uint32_t>(m.data.size()));
    U16(m.statedNameLength >= 0 ? static_cast<std::uint32_t>(m.statedNameLength)
                                : static_cast<std::uint32_t>(m.name.size()));
    U16(static_cast<std::uint32_t>(m.extra.size()));
    out_.insert(out_.end(), m.name.begin(), m.name.end());
    Bytes(m.extra);
    return Bytes(m.data);
  }
  // A central directory header's signature and enough bytes to look like one.
  Builder& Central() { return U32(0x02014B50).Fill(42, 0); }
  // The smallest end-of-central-directory record (22 bytes).
  Builder& End() { return U32(0x06054B50).Fill(18, 0); }

  const std::vector<std::uint8_t>& Result() const { return out_; }
  std::size_t Size() const { return out_.size(); }

 private:
  std::vector<std::uint8_t> out_;
};

inline LocalMember Member(std::string name, std::string data) {
  LocalMember m;
  m.name = std::move(name);
  m.data.assign(data.begin(), data.end());
  return m;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace zipbytes
