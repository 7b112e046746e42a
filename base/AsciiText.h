// Letter case as Windows names use it here (file names, registry names,
// property and class names of descriptions, device names): only the letters
// a to z have another case; every other byte, a code-page letter too, is
// itself. Portable, and the same on every system.
#pragma once

#include <string>
#include <string_view>

char AsciiUpper(char c);
std::string AsciiUpperCase(std::string text);
// Equal but for the case of a to z.
bool SameTextAscii(std::string_view a, std::string_view b);
