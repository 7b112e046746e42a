// The checksum of a Windows program file (PE image), as the optional
// header's CheckSum field holds it and the system's MapFileAndCheckSum
// computes it. The build sets it in the setup program, which checks itself
// with the system's function at start, so that a download damaged in
// transfer never installs anything.
//
// Layout read (little-endian):
//   offset 0x00        "MZ"
//   offset 0x3C        uint32 e_lfanew: where the PE signature stands
//   offset e_lfanew    "PE\0\0", then the 20-byte file header
//   offset e_lfanew+24 the optional header: uint16 magic 0x10B (PE32) or
//                      0x20B (PE32+); uint32 CheckSum at its offset 64
//
// The checksum: the file as 16-bit little-endian words (an odd last byte a
// word of its own), summed with every carry out of 16 bits added back in,
// the CheckSum field counted as zero; then the file's length added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// Where the CheckSum field stands; empty when bytes are not a PE image
// whose headers lie wholly within them, or when the field lies at an odd
// offset (no value could check there).
std::optional<std::size_t> PeChecksumOffset(std::span<const std::uint8_t> bytes);

// The sum of an image's words taken piece by piece, front to back, so that
// a program can check its own file without holding or mapping all of it.
class PeChecksumSum {
 public:
  void Add(std::span<const std::uint8_t> piece);
  // The checksum of all that was added, whose CheckSum field holds stored.
  std::uint32_t Checksum(std::uint32_t stored) const;

 private:
  static std::uint32_t Folded(std::uint32_t sum) { return (sum & 0xFFFF) + (sum >> 16); }

  std::uint32_t sum_ = 0;
  std::uint32_t length_ = 0;
  bool pending_ = false;  // an odd byte waits for the next piece
  std::uint8_t low_ = 0;
};

// The checksum of the image, the field at checksumOffset counted as zero.
// checksumOffset must come from PeChecksumOffset of the same bytes.
std::uint32_t PeChecksum(std::span<const std::uint8_t> bytes, std::size_t checksumOffset);

// The CheckSum the image holds.
std::uint32_t StoredPeChecksum(std::span<const std::uint8_t> bytes, std::size_t checksumOffset);

// Writes the image's checksum into its CheckSum field, such that the image
// then checks (PeChecksumWriting.cpp: only pesum needs it).
void SetPeChecksum(std::span<std::uint8_t> bytes, std::size_t checksumOffset);
