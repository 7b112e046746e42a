// Whole runs of bytes packed as one "PMCS10" container, in memory: how the
// build stores window descriptions that carry no files (the ReadMe window's
// text, the splash window), so that the setup program stays small. The
// packer is in PackedBytesWriting.cpp, so that a program that only reads
// links no compressor.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// True when bytes begin with the container's magic.
bool IsPacked(std::span<const std::uint8_t> bytes);

// The bytes that packed restores to. packed must be exactly one container:
// the container's own errors ("Wrong file type", "Stream read error",
// ELzrw1KHCompressor) and "Wrong file type" for bytes after its end.
std::vector<std::uint8_t> Unpack(std::span<const std::uint8_t> packed);

// One container of bytes. The codec's table must be set up
// (InitializeLzrw1KH).
std::vector<std::uint8_t> Pack(std::span<const std::uint8_t> bytes);
