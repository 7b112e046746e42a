// File name patterns: '*' matches any run of characters, '?' any one; letters
// compare without regard to ASCII case, as file names do on Windows, and
// "*.*" matches every name, with or without a dot.
#pragma once

#include <string_view>

namespace zipdll {

bool MatchesWildcard(std::string_view pattern, std::string_view name);

bool HasWildcard(std::string_view text);

}  // namespace zipdll
