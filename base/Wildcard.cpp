#include "base/Wildcard.h"

#include <cstddef>

#include "base/AsciiText.h"

namespace {

char Normalized(char c) { return c == '\\' ? '/' : AsciiUpper(c); }

}  // namespace

// Greedy matching with one backtrack point (the last '*'): linear in practice
// and never exponential, whatever the pattern.
bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  std::size_t s = 0;
  std::size_t n = 0;
  std::size_t starAt = std::string_view::npos;
  std::size_t resumeAt = 0;
  while (n < name.size()) {
    if (s < pattern.size() && pattern[s] == '*') {
      starAt = s++;
      resumeAt = n;
    } else if (s < pattern.size() && (pattern[s] == '?' || Normalized(pattern[s]) == Normalized(name[n]))) {
      ++s;
      ++n;
    } else if (starAt != std::string_view::npos) {
      s = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (s < pattern.size() && pattern[s] == '*') ++s;
  return s == pattern.size();
}
