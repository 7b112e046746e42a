// The setup program's check of its own file at start: the build sets the
// file's checksum (tools/pesum), and a file damaged in transfer must never
// write a single file, so the check comes before anything of it is read.
#pragma once

inline constexpr char kDamagedProgram[] = "The setup program is damaged; download it again.";

// Checks the running program's file: its PE checksum, the sum that the
// system's MapFileAndCheckSum computes (tools/pesum/PeChecksum.h). Throws
// Exception kDamagedProgram when the file's checksum is not the one the
// build stored (or none was stored),
// and Exception "The setup program cannot check its own file (...)" when the
// check itself cannot be made.
void CheckProgramFile();
