// Letter case as Windows names use it here (file names, registry names,
// property and class names of descriptions, device names): only the letters
// a to z have another case; every other byte, a code-page letter too, is
// itself. Portable, and the same on every system. The functions that only
// some programs use are inline: a program links each object file whole.
#pragma once

#include <string>
#include <string_view>

char AsciiUpper(char c);
std::string AsciiUpperCase(std::string text);
inline std::string AsciiLowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}
// Equal but for the case of a to z.
bool SameTextAscii(std::string_view a, std::string_view b);

// A system's message text as an error box shows it: without the line break,
// blanks and full stop it ends in (the box adds its own full stop).
inline std::string_view TrimmedSystemText(std::string_view text) {
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.remove_suffix(1);
  return text;
}
