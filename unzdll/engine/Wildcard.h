// Member selection by file specifications.
#pragma once

#include <string_view>

// True when name matches spec: '*' stands for any run of characters
// (separators included), '?' for exactly one; letters compare without regard
// to case; '/' and '\' are the same character.
bool MatchesSpecification(std::string_view spec, std::string_view name);
