// Wildcard patterns as Windows users write them, for selecting files and
// archive members.
#pragma once

#include <string_view>

// True when name matches pattern: '*' stands for any run of characters
// (separators included), '?' for exactly one; letters compare without regard
// to case; '/' and '\' are the same character.
bool MatchesWildcard(std::string_view pattern, std::string_view name);
// The same for file names as Windows matches them: "*.*" means every file,
// names without a dot included.
inline bool MatchesFileWildcard(std::string_view pattern, std::string_view name) {
  return MatchesWildcard(pattern == "*.*" ? "*" : pattern, name);
}
// True when text holds a '*' or a '?'.
inline bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }
