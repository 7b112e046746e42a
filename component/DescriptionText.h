// The readable text form of stored window descriptions: what people write and
// keep next to a window's code, and what `descc print` shows. The syntax is
// documented in docs/formats/window-description.md.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reads a file a description's text names with `@file 'path'` or
// `@lines 'path'`, given the path exactly as the text writes it (the caller
// resolves it, relative to the text file's folder); throws when it cannot.
using DescriptionFileReader = std::function<std::vector<std::uint8_t>(const std::string& path)>;

// Turns the text form into the binary form. A syntax error throws Exception
// "Invalid window description text, line N: ..."; the result is checked as
// the binary reader checks it (nesting depth, lengths).
std::vector<std::uint8_t> DescriptionFromText(std::string_view text, const DescriptionFileReader& readFile);

// Prints the binary form as text (binary values as hexadecimal). A damaged
// description throws Exception as ReadComponentDescription does.
std::string DescriptionToText(std::span<const std::uint8_t> bytes);
