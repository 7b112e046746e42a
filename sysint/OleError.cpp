// The text of a failed COM call.
#include "sysint/OleError.h"

#include "base/AsciiText.h"

std::string OleErrorText(std::uint32_t code, const std::string& systemText) {
  const std::string_view trimmed = TrimmedSystemText(systemText);
  if (!trimmed.empty()) return std::string(trimmed);
  // By hand rather than through printf, which would bring the C runtime's
  // whole formatting engine into the setup exe for one hex number.
  std::string text = "OLE error ";
  for (int shift = 28; shift >= 0; shift -= 4) text += "0123456789abcdef"[(code >> shift) & 0xF];
  return text;
}
