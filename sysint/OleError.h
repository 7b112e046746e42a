// The text of a failed COM call: the system's own message for the code, or
// "OLE error %.8x" when the system has none.
#pragma once

#include <cstdint>
#include <string>

// systemText as the system formats it ends in a line break and a full stop;
// both go, since the error box adds its own full stop. Empty (or blank)
// systemText gives the fallback with the code as eight hexadecimal digits.
std::string OleErrorText(std::uint32_t code, const std::string& systemText);
