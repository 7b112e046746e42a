// Plain zip archives built in memory for the unzip library's tests: stored
// or deflated members, no data descriptors, no comment, written the APPNOTE
// way.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace testarchive {

using Bytes = std::vector<std::uint8_t>;

struct Entry {
  std::string name;
  std::string data;
  bool deflated = false;
};

inline void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline Bytes RawDeflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline Bytes MakeArchive(const std::vector<Entry>& entries) {
  Bytes out;
  Bytes directory;
  for (const Entry& e : entries) {
    const Bytes body = e.deflated ? RawDeflate(e.data) : Bytes(e.data.begin(), e.data.end());
    const auto crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()),
                                                      static_cast<uInt>(e.data.size())));
    const auto offset = static_cast<std::uint32_t>(out.size());
    const std::uint32_t method = e.deflated ? 8 : 0;
    Put32(out, 0x04034b50);
    for (const std::uint32_t v : {20u, 0u, method, 0u, 0x5021u}) Put16(out, v);
    for (const std::uint32_t v : {crc, static_cast<std::uint32_t>(body.size()), static_cast<std::uint32_t>(e.data.size())})
      Put32(out, v);
    Put16(out, static_cast<std::uint32_t>(e.name.size()));
    Put16(out, 0);
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(directory, 0x02014b50);
    for (const std::uint32_t v : {20u, 20u, 0u, method, 0u, 0x5021u}) Put16(directory, v);
    for (const std::uint32_t v : {crc, static_cast<std::uint32_t>(body.size()), static_cast<std::uint32_t>(e.data.size())})
      Put32(directory, v);
    for (const std::uint32_t v : {static_cast<std::uint32_t>(e.name.size()), 0u, 0u, 0u, 0u}) Put16(directory, v);
    Put32(directory, 0);
    Put32(directory, offset);
    directory.insert(directory.end(), e.name.begin(), e.name.end());
  }
  const auto directoryAt = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), directory.begin(), directory.end());
  Put32(out, 0x06054b50);
  for (const std::uint32_t v : {0u, 0u, static_cast<std::uint32_t>(entries.size()), static_cast<std::uint32_t>(entries.size())})
    Put16(out, v);
  Put32(out, static_cast<std::uint32_t>(directory.size()));
  Put32(out, directoryAt);
  Put16(out, 0);
  return out;
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A new, empty folder in the temporary folder, named so that test runs of
// several build trees at once do not meet.
inline std::filesystem::path NewScratchFolder(const std::string& prefix) {
  std::random_device random;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / (prefix + "_" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace testarchive
