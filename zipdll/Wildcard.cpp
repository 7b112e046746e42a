#include "zipdll/Wildcard.h"

#include "base/Wildcard.h"

namespace zipdll {

namespace {
char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  // "*.*" means every file on Windows, names without a dot included.
  if (pattern == "*.*") pattern = "*";
  return ::MatchesWildcard(pattern, name);
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

}  // namespace zipdll
