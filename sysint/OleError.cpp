#include "sysint/OleError.h"


std::string OleErrorText(std::uint32_t code, const std::string& systemText) {
  std::size_t length = systemText.size();
  while (length > 0) {
    const unsigned char last = static_cast<unsigned char>(systemText[length - 1]);
    if (last > ' ' && last != '.') break;
    --length;
  }
  if (length > 0) return systemText.substr(0, length);
  // By hand rather than through printf, which would bring the C runtime's
  // whole formatting engine into the setup exe for one hex number.
  std::string text = "OLE error ";
  for (int shift = 28; shift >= 0; shift -= 4) text += "0123456789abcdef"[(code >> shift) & 0xF];
  return text;
}
