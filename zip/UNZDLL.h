// The call interface of the unzip library "unzdll.dll": its parameter record
// and its two entry points, exported under undecorated names with the
// standard calling convention.
//
// UnzipParams on i686 (all fields 32 bits, little-endian, no gaps; a flag is
// -1 for true and 0 for false), 16464 bytes:
//
//   offset  field            what the caller puts there
//        0  OwnerWindow      the caller's window handle
//        4  Caller           the caller's object; comes back in every callback record
//        8  Version          interface version, 140
//       12  Callback         the caller's UnzipCallbackFunction
//       16  TraceFlag
//       20  Reserved20       never written by the caller (0)
//       24  Password         81-byte buffer, NUL-terminated password ("" for none)
//       28  TestFlag         test the members instead of writing them
//       32  FixedFlag32      always false
//       36  FixedFlag36      always false
//       40  FixedFlag40      always true
//       44  VerboseFlag
//       48  UpdateFlag       replace only older files, create missing ones
//       52  FreshenFlag      replace only older existing files
//       56  DirNamesFlag     recreate the folders stored in member names
//       60  OverwriteFlag    replace existing files without asking
//       64  SpecCount        number of used FileSpecs slots (0: every member)
//       68  ZipFilename      256-byte buffer, NUL-terminated archive path
//       72  Constant72       always 7
//       76  FileSpecs[4097]  256-byte buffers, NUL-terminated member patterns
//
// Member paths are written relative to the process's current folder. On
// x86_64 (used only to test under 64-bit Wine) the pointer fields are 8 bytes
// and the record grows; the offsets above are proven for i686 below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zip/ZCallBck.h"

inline constexpr std::int32_t kUnzipInterfaceVersion = 140;
inline constexpr std::int32_t kUnzipTrue = -1;
inline constexpr std::int32_t kUnzipFalse = 0;
inline constexpr std::int32_t kUnzipConstant72 = 7;

// Buffer sizes the caller allocates, terminating NUL included.
inline constexpr std::size_t kUnzipPathBufferSize = 256;      // archive path
inline constexpr std::size_t kUnzipPasswordBufferSize = 81;   // password
inline constexpr std::size_t kUnzipSpecBufferSize = 256;      // one file specification
inline constexpr std::size_t kUnzipMaxSpecs = 4097;

struct UnzipParams {
  void* OwnerWindow;
  void* Caller;
  std::int32_t Version;
  UnzipCallbackFunction Callback;
  std::int32_t TraceFlag;
  std::int32_t Reserved20;
  char* Password;
  std::int32_t TestFlag;
  std::int32_t FixedFlag32;
  std::int32_t FixedFlag36;
  std::int32_t FixedFlag40;
  std::int32_t VerboseFlag;
  std::int32_t UpdateFlag;
  std::int32_t FreshenFlag;
  std::int32_t DirNamesFlag;
  std::int32_t OverwriteFlag;
  std::int32_t SpecCount;
  char* ZipFilename;
  std::int32_t Constant72;
  char* FileSpecs[kUnzipMaxSpecs];
};

// Extracts (or tests) the members of params->ZipFilename; returns the number
// of members extracted or tested. Calls params->Callback on the calling
// thread and stops when it answers kCallbackStop.
using UnzDllExecFunction = std::int32_t(TAV_STDCALL*)(UnzipParams* params);
// The library's version number.
using GetUnzDllVersionFunction = std::int32_t(TAV_STDCALL*)();

// The exports as the library defines them (callers look them up by name
// with GetProcAddress instead of linking to them).
extern "C" {
std::int32_t TAV_STDCALL UnzDllExec(UnzipParams* params);
std::int32_t TAV_STDCALL GetUnzDllVersion();
}

inline constexpr char kUnzDllExecName[] = "UnzDllExec";
inline constexpr char kGetUnzDllVersionName[] = "GetUnzDllVersion";

#if defined(TAV_WIN32_I686)
static_assert(offsetof(UnzipParams, Caller) == 4);
static_assert(offsetof(UnzipParams, Version) == 8);
static_assert(offsetof(UnzipParams, Callback) == 12);
static_assert(offsetof(UnzipParams, TraceFlag) == 16);
static_assert(offsetof(UnzipParams, Reserved20) == 20);
static_assert(offsetof(UnzipParams, Password) == 24);
static_assert(offsetof(UnzipParams, TestFlag) == 28);
static_assert(offsetof(UnzipParams, FixedFlag32) == 32);
static_assert(offsetof(UnzipParams, FixedFlag36) == 36);
static_assert(offsetof(UnzipParams, FixedFlag40) == 40);
static_assert(offsetof(UnzipParams, VerboseFlag) == 44);
static_assert(offsetof(UnzipParams, UpdateFlag) == 48);
static_assert(offsetof(UnzipParams, FreshenFlag) == 52);
static_assert(offsetof(UnzipParams, DirNamesFlag) == 56);
static_assert(offsetof(UnzipParams, OverwriteFlag) == 60);
static_assert(offsetof(UnzipParams, SpecCount) == 64);
static_assert(offsetof(UnzipParams, ZipFilename) == 68);
static_assert(offsetof(UnzipParams, Constant72) == 72);
static_assert(offsetof(UnzipParams, FileSpecs) == 76);
static_assert(sizeof(UnzipParams) == 16464);
#endif
