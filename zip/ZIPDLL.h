// The call interface of the zip library "zipdll.dll": its parameter record,
// its message codes and its two entry points, exported under undecorated
// names with the standard calling convention. Progress and messages come
// back through the callback record of ZCallBck.h, as from the unzip library.
//
// ZipParams on i686 (all fields 32 bits, little-endian, no gaps; a flag is
// -1 for true and 0 for false; any other non-zero value counts as true),
// 16440 bytes:
//
//   offset  field            what the caller puts there
//        0  OwnerWindow      the caller's window handle (not used by the library)
//        4  Caller           the caller's object; comes back in every callback record
//        8  Version          interface version, 140; any other is refused
//       12  Callback         the caller's callback, or null for no reports
//       16  TraceFlag        report each file as it is found
//       20  VerboseFlag      report each member written with its sizes
//       24  Level            0 (store) to 9 (smallest) deflate level
//       28  DirNamesFlag     keep the folder part of each path in the member name
//       32  RecurseFlag      match the last element in every sub-folder too
//       36  FreshenFlag      only replace members whose file is newer
//       40  UpdateFlag       replace members whose file is newer, add the rest
//       44  SpecCount        number of used FileSpecs slots, 1 to 4097
//       48  ZipFilename      NUL-terminated archive path, at most 255 characters
//       52  FileSpecs[4097]  NUL-terminated file specifications, at most 255
//                            characters each: a path relative to the current
//                            folder (or absolute) whose last element may hold
//                            the wildcards * and ?
//
// Neither freshen nor update: every file found is added, replacing a member
// of the same name. Both: update. Texts are 8-bit, in the ANSI code page,
// and are read up to the first NUL within 256 bytes; a text with no NUL there
// is refused, never read past. On x86_64 (used only to test under 64-bit
// Wine) the pointer fields are 8 bytes and the record grows; the offsets
// above are proven for i686 below.
//
// Callback reports (UnzipCallbackRecord of ZCallBck.h):
//   action 1  a member is about to be written: Text = member name,
//             FileSize = the file's size (2147483647 for 2 GB and more)
//   action 2  a step: one more 64 KB of the file read
//   action 3  the call's end (also after a failure, not after a stop)
//   action 4  a message: Text = the message, ErrorCode = a kZipMessage code
// Answering kCallbackStop to any report stops the call: the archive is left
// exactly as it was before and ZipDllExec returns 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zip/ZCallBck.h"

inline constexpr std::int32_t kZipInterfaceVersion = 140;
inline constexpr std::int32_t kZipDllVersion = 100;  // GetZipDllVersion: 1.00
inline constexpr std::int32_t kZipTrue = -1;
inline constexpr std::int32_t kZipFalse = 0;

inline constexpr std::size_t kZipTextBufferSize = 256;  // archive path, one specification
inline constexpr std::size_t kZipMaxSpecs = 4097;

// ErrorCode of a message (action 4). Anything but kZipMessageInfo is a
// failure: the file or the whole call it names was not done.
inline constexpr std::int32_t kZipMessageInfo = 0;         // for information only
inline constexpr std::int32_t kZipMessageParameters = 1;   // the record itself is unusable; nothing done
inline constexpr std::int32_t kZipMessageArchive = 2;      // the existing archive cannot be added to; nothing done
// beyond what an archive without Zip64 holds: a file of 4 GB or more is left
// out; an archive of over 65535 members or 4 GB is not written
inline constexpr std::int32_t kZipMessageLimit = 3;
inline constexpr std::int32_t kZipMessageName = 4;         // a name that cannot be stored safely; file left out
inline constexpr std::int32_t kZipMessageFile = 5;         // a file missing or unreadable; file left out
inline constexpr std::int32_t kZipMessageWrite = 6;        // the new archive cannot be written; nothing done
inline constexpr std::int32_t kZipMessageInternal = 7;     // an unexpected fault; nothing done

// The callback record and function are the unzip library's.
using ZipCallbackFunction = UnzipCallbackFunction;

struct ZipParams {
  void* OwnerWindow;
  void* Caller;
  std::int32_t Version;
  ZipCallbackFunction Callback;
  std::int32_t TraceFlag;
  std::int32_t VerboseFlag;
  std::int32_t Level;
  std::int32_t DirNamesFlag;
  std::int32_t RecurseFlag;
  std::int32_t FreshenFlag;
  std::int32_t UpdateFlag;
  std::int32_t SpecCount;
  char* ZipFilename;
  char* FileSpecs[kZipMaxSpecs];
};

// Adds the files that params->FileSpecs name to the archive
// params->ZipFilename, creating it when missing; returns the number of
// members written from files (added or replaced), 0 when the call failed or
// was stopped. A new or changed archive is written under a temporary name
// beside the old one and replaces it only when complete. Never throws.
using ZipDllExecFunction = std::int32_t(TAV_STDCALL*)(ZipParams* params);
// The library's version number, kZipDllVersion.
using GetZipDllVersionFunction = std::int32_t(TAV_STDCALL*)();

inline constexpr char kZipDllExecName[] = "ZipDllExec";
inline constexpr char kGetZipDllVersionName[] = "GetZipDllVersion";

#if defined(TAV_WIN32_I686)
static_assert(offsetof(ZipParams, Caller) == 4);
static_assert(offsetof(ZipParams, Version) == 8);
static_assert(offsetof(ZipParams, Callback) == 12);
static_assert(offsetof(ZipParams, TraceFlag) == 16);
static_assert(offsetof(ZipParams, VerboseFlag) == 20);
static_assert(offsetof(ZipParams, Level) == 24);
static_assert(offsetof(ZipParams, DirNamesFlag) == 28);
static_assert(offsetof(ZipParams, RecurseFlag) == 32);
static_assert(offsetof(ZipParams, FreshenFlag) == 36);
static_assert(offsetof(ZipParams, UpdateFlag) == 40);
static_assert(offsetof(ZipParams, SpecCount) == 44);
static_assert(offsetof(ZipParams, ZipFilename) == 48);
static_assert(offsetof(ZipParams, FileSpecs) == 52);
static_assert(sizeof(ZipParams) == 16440);
#endif
