#include "sysint/OleError.h"

#include <cstdio>

std::string OleErrorText(std::uint32_t code, const std::string& systemText) {
  std::size_t length = systemText.size();
  while (length > 0) {
    const unsigned char last = static_cast<unsigned char>(systemText[length - 1]);
    if (last > ' ' && last != '.') break;
    --length;
  }
  if (length > 0) return systemText.substr(0, length);
  char text[32];
  std::snprintf(text, sizeof text, "OLE error %.8x", static_cast<unsigned>(code));
  return text;
}
