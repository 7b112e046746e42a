// A literal, byte-at-a-time transcription of the LZRW1-KH reference steps,
// slow on purpose: the oracle the fast codec is compared against.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace reference {

inline std::vector<std::uint8_t> Compress(std::vector<std::uint8_t> s) {
  const std::size_t n = s.size();
  s.resize(n + 2);  // the hash of the last two positions reads past the end
  std::int16_t table[4096];
  for (auto& entry : table) entry = -1;
  std::vector<std::uint8_t> d(n + 6);
  d[0] = 0x40;
  std::uint32_t x = 0, y = 3, z = 1, items = 0;
  std::uint16_t cw = 0;
  while (x < n && y <= n) {
    if (items == 16) {
      d[z] = static_cast<std::uint8_t>(cw >> 8);
      d[z + 1] = static_cast<std::uint8_t>(cw);
      z = y;
      y += 2;
      items = 0;
    }
    std::uint32_t r = 1;
    while (x + r < n && s[x + r] == s[x] && r < 4095) ++r;
    if (r >= 16) {
      d[y] = 0;
      d[y + 1] = static_cast<std::uint8_t>((r - 16) >> 8);
      d[y + 2] = static_cast<std::uint8_t>((r - 16) & 0xFF);
      d[y + 3] = s[x];
      y += 4;
      x += r;
      cw = static_cast<std::uint16_t>((cw << 1) + 1);
    } else {
      const std::uint32_t v = ((static_cast<std::uint32_t>(s[x]) << 4 ^ s[x + 1]) << 4) ^ s[x + 2];
      const std::uint32_t h = ((v * 40543u) >> 4) & 0x0FFF;
      const std::int32_t c = table[h];
      bool found = false;
      std::uint32_t p = 0, len = 0;
      if (c != -1 && static_cast<std::int32_t>(static_cast<std::uint16_t>(x)) - c < 4096) {
        p = static_cast<std::uint32_t>(c);
        while (len < 18 && x + len < n && s[x + len] == s[p + len]) ++len;
        found = len >= 3;
      }
      table[h] = static_cast<std::int16_t>(static_cast<std::uint16_t>(x));
      if (found) {
        const std::uint32_t k = ((x - p) << 4) + (len - 3);
        d[y] = static_cast<std::uint8_t>(k >> 8);
        d[y + 1] = static_cast<std::uint8_t>(k);
        y += 2;
        x += len;
        cw = static_cast<std::uint16_t>((cw << 1) + 1);
      } else {
        d[y++] = s[x++];
        cw = static_cast<std::uint16_t>(cw << 1);
      }
    }
    ++items;
  }
  cw = static_cast<std::uint16_t>(cw << (16 - items));
  d[z] = static_cast<std::uint8_t>(cw >> 8);
  d[z + 1] = static_cast<std::uint8_t>(cw);
  if (y <= n) {
    d.resize(y);
    return d;
  }
  d[0] = 0x80;
  for (std::size_t i = 0; i < n; ++i) d[i + 1] = s[i];
  d.resize(n + 1);
  return d;
}

// The reference expander with every read and write checked: nothing for a
// block the format does not allow (see docs/formats/lzrw1kh.md), the restored
// bytes otherwise. Fuzzing compares the fast expander against it.
inline std::optional<std::vector<std::uint8_t>> ExpandChecked(const std::vector<std::uint8_t>& src) {
  constexpr std::size_t kMaxOutput = 32783;
  if (src.empty()) return std::nullopt;
  if (src[0] == 0x80) {
    if (src.size() - 1 > kMaxOutput) return std::nullopt;
    return std::vector<std::uint8_t>(src.begin() + 1, src.end());
  }
  if (src.size() < 3) return std::nullopt;
  std::vector<std::uint8_t> d;
  std::size_t x = 3;
  std::uint16_t cw = static_cast<std::uint16_t>(src[1] << 8 | src[2]);
  int bits = 16;
  while (x < src.size()) {
    if (bits == 0) {
      if (x + 2 >= src.size()) return std::nullopt;  // a control word needs 2 bytes and an item after it
      cw = static_cast<std::uint16_t>(src[x] << 8 | src[x + 1]);
      x += 2;
      bits = 16;
    }
    if ((cw & 0x8000) == 0) {
      d.push_back(src[x++]);
    } else {
      if (x + 2 > src.size()) return std::nullopt;
      const std::size_t offset = static_cast<std::size_t>(src[x]) * 16 + (src[x + 1] >> 4);
      if (offset == 0) {
        if (x + 4 > src.size()) return std::nullopt;
        const std::size_t count = static_cast<std::size_t>(src[x + 1] & 0x0F) * 256 + src[x + 2] + 16;
        d.insert(d.end(), count, src[x + 3]);
        x += 4;
      } else {
        if (offset > d.size()) return std::nullopt;
        const std::size_t length = (src[x + 1] & 0x0Fu) + 3;
        for (std::size_t k = 0; k < length; ++k) d.push_back(d[d.size() - offset]);
        x += 2;
      }
    }
    if (d.size() > kMaxOutput) return std::nullopt;
    cw = static_cast<std::uint16_t>(cw << 1);
    --bits;
  }
  return d;
}

}  // namespace reference
