// Wildcard patterns as Windows users write them, for selecting files and
// archive members.
#pragma once

#include <string_view>

// True when name matches pattern: '*' stands for any run of characters
// (separators included), '?' for exactly one; letters compare without regard
// to case; '/' and '\' are the same character.
bool MatchesWildcard(std::string_view pattern, std::string_view name);
