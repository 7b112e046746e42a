#include "base/Wildcard.h"

#include <cstddef>

namespace {

char Normalized(char c) {
  if (c == '\\') return '/';
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

// Greedy matching with one backtrack point (the last '*'): linear in practice
// and never exponential, whatever the specification.
bool MatchesWildcard(std::string_view spec, std::string_view name) {
  std::size_t s = 0;
  std::size_t n = 0;
  std::size_t starAt = std::string_view::npos;
  std::size_t resumeAt = 0;
  while (n < name.size()) {
    if (s < spec.size() && spec[s] == '*') {
      starAt = s++;
      resumeAt = n;
    } else if (s < spec.size() && (spec[s] == '?' || Normalized(spec[s]) == Normalized(name[n]))) {
      ++s;
      ++n;
    } else if (starAt != std::string_view::npos) {
      s = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (s < spec.size() && spec[s] == '*') ++s;
  return s == spec.size();
}
