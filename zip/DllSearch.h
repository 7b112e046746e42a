// Where the process may load libraries from by bare name (Windows only).
#pragma once

// Narrows the search for libraries named without a folder to the system
// folder and folders added explicitly, so that a library planted in the
// folder the setup was started from (a browser's download folder) is never
// loaded. Full paths are unaffected. Call once at program start. Systems
// without SetDefaultDllDirectories keep their order, minus the current
// folder. Returns true when the narrow search is in force.
bool RestrictDllSearch();
