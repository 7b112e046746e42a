#include "zipdll/Wildcard.h"

#include "base/Wildcard.h"

namespace zipdll {

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  // "*.*" means every file on Windows, names without a dot included.
  if (pattern == "*.*") pattern = "*";
  return ::MatchesWildcard(pattern, name);
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

}  // namespace zipdll
