// Where forms find their stored descriptions: by default the RCDATA resource
// of the program named after the form's class ("TForm1"). Tests and tools may
// supply the bytes another way.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

using DescriptionSource = std::function<std::vector<std::uint8_t>(const std::string& className)>;

// A form's description: the program's resource, read where it lies (the
// files a window carries are not copied), or the bytes a source supplied,
// or what either restores to when it is packed (filestore/PackedBytes.h).
struct StoredDescription {
  std::span<const std::uint8_t> Resource;
  std::vector<std::uint8_t> Supplied;

  std::span<const std::uint8_t> Bytes() const { return Resource.data() != nullptr ? Resource : Supplied; }
};

// The description of className. Throws Exception when there is none.
StoredDescription LoadFormDescription(const std::string& className);

// Replaces the source (an empty function restores the resources); returns
// the previous one.
DescriptionSource SetDescriptionSource(DescriptionSource source);

// The RCDATA resource of the program named name, in place for the program's
// lifetime. Throws Exception when the program has none of that name.
std::span<const std::uint8_t> ResourceBytes(const std::string& name);
// A copy of it.
std::vector<std::uint8_t> ResourceDescription(const std::string& name);
