// Message formatting for the program's exceptions.
#include "base/Exception.h"

std::string FormatText(const std::string& pattern, const std::string& argument) {
  const auto at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  std::string text = pattern;
  text.replace(at, 2, argument);
  return text;
}
