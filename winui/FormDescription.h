// Where forms find their stored descriptions: by default the RCDATA resource
// of the program named after the form's class ("TForm1"). Tests and tools may
// supply the bytes another way.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using DescriptionSource = std::function<std::vector<std::uint8_t>(const std::string& className)>;

// The description of className. Throws Exception when there is none.
std::vector<std::uint8_t> LoadFormDescription(const std::string& className);

// Replaces the source (an empty function restores the resources); returns
// the previous one.
DescriptionSource SetDescriptionSource(DescriptionSource source);

// The RCDATA resource of the program named name. Throws Exception when the
// program has none of that name.
std::vector<std::uint8_t> ResourceDescription(const std::string& name);
