// The install's first real step: the destination folder, made with every
// missing parent.
#pragma once

#include <string>

// The message for an empty destination (and for one whose chain of parents
// runs out, as a name without any folder separator or drive colon does).
inline constexpr char kUnableToCreateDirectory[] = "Unable to create directory";

// Makes the folder destination names (as typed: one trailing separator is
// ignored, nothing else is changed) with every missing parent, walking up
// from it: a text of fewer than 3 characters, an existing folder, or a text
// that is its own parent part (up to and including its last separator or
// ":") ends the walk; an empty parent part is Exception
// kUnableToCreateDirectory, and nothing is created then. Afterwards the
// folder must exist: when it does not (a creation failed, a file of that
// name is in the way, a short name that names nothing), Exception
// "Unable to create directory <destination>: <the system's reason>".
void CreateDestinationFolder(const std::string& destination);
