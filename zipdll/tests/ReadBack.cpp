// The tests' own zip reader.
#include "ReadBack.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

namespace readback {

namespace {

std::uint32_t Field(const Bytes& b, std::size_t at, int width) {
  if (at + static_cast<std::size_t>(width) > b.size()) throw std::runtime_error("field beyond the archive");
  std::uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<std::size_t>(i)];
  return v;
}

Bytes Inflated(const std::uint8_t* data, std::size_t size, std::size_t expected) {
  Bytes out(expected);
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw std::runtime_error("inflateInit2");
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(size);
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int status = inflate(&z, Z_FINISH);
  const bool whole = status == Z_STREAM_END && z.avail_out == 0 && z.avail_in == 0;
  inflateEnd(&z);
  if (!whole) throw std::runtime_error("deflate data does not give the stated size");
  return out;
}

}  // namespace

Bytes ReadFileBytes(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) throw std::runtime_error("cannot open " + path);
  Bytes bytes;
  std::uint8_t chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(f);
  return bytes;
}

Archive Read(const std::string& path) {
  const Bytes b = ReadFileBytes(path);
  if (b.size() < 22) throw std::runtime_error("too short");
  std::size_t end = b.size() - 22;
  while (Field(b, end, 4) != 0x06054b50 || end + 22 + Field(b, end + 20, 2) != b.size()) {
    if (end == 0) throw std::runtime_error("no end record");
    --end;
  }
  Archive archive;
  archive.comment.assign(b.begin() + static_cast<std::ptrdiff_t>(end + 22), b.end());
  const std::uint32_t count = Field(b, end + 10, 2);
  std::size_t at = Field(b, end + 16, 4);
  if (at + Field(b, end + 12, 4) != end) throw std::runtime_error("central directory size and offset disagree");
  for (std::uint32_t i = 0; i < count; ++i) {
    if (Field(b, at, 4) != 0x02014b50) throw std::runtime_error("central header signature");
    Member m;
    const std::uint32_t flags = Field(b, at + 8, 2);
    m.method = static_cast<std::uint16_t>(Field(b, at + 10, 2));
    m.dosDateTime = Field(b, at + 14, 2) << 16 | Field(b, at + 12, 2);
    const std::uint32_t crc = Field(b, at + 16, 4);
    const std::uint32_t packed = Field(b, at + 20, 4);
    const std::uint32_t size = Field(b, at + 24, 4);
    const std::uint32_t nameLength = Field(b, at + 28, 2);
    const std::size_t local = Field(b, at + 42, 4);
    if (at + 46 + nameLength > b.size()) throw std::runtime_error("name beyond the archive");
    m.name.assign(b.begin() + static_cast<std::ptrdiff_t>(at + 46),
                  b.begin() + static_cast<std::ptrdiff_t>(at + 46 + nameLength));
    if (Field(b, local, 4) != 0x04034b50) throw std::runtime_error("local header signature of " + m.name);
    if ((flags & 8) == 0 && (Field(b, local + 14, 4) != crc || Field(b, local + 18, 4) != packed ||
                             Field(b, local + 22, 4) != size)) {
      throw std::runtime_error("local header and central directory disagree on " + m.name);
    }
    const std::size_t data = local + 30 + Field(b, local + 26, 2) + Field(b, local + 28, 2);
    if (data + packed > b.size()) throw std::runtime_error("data beyond the archive: " + m.name);
    m.rawSpan.assign(b.begin() + static_cast<std::ptrdiff_t>(local),
                     b.begin() + static_cast<std::ptrdiff_t>(data + packed));
    if (m.method == 0) {
      if (packed != size) throw std::runtime_error("stored sizes differ: " + m.name);
      m.data.assign(b.begin() + static_cast<std::ptrdiff_t>(data),
                    b.begin() + static_cast<std::ptrdiff_t>(data + size));
    } else if (m.method == 8) {
      m.data = Inflated(b.data() + data, packed, size);
    } else {
      throw std::runtime_error("unknown method for " + m.name);
    }
    if (crc32(0, m.data.data(), static_cast<uInt>(m.data.size())) != crc) throw std::runtime_error("CRC of " + m.name);
    archive.members.push_back(std::move(m));
    at += 46 + nameLength + Field(b, at + 30, 2) + Field(b, at + 32, 2);
  }
  if (at != end) throw std::runtime_error("central directory holds more than its entries");
  return archive;
}

}  // namespace readback
