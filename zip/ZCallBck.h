// The callback record the zip libraries fill and hand to the caller's
// callback, and the calling-convention macros every record header shares.
//
// Layout on i686 (the shipping 32-bit interface; little-endian, no gaps):
//
//   offset  width  field          meaning
//        0      4  LibraryContext the library's own; the caller never reads it
//        4      4  Caller         UnzipParams' Caller, handed back unchanged
//        8      8  LibraryFields  the library's own; the caller never reads them
//       16      4  ActionCode     1 member start, 2 step, 3 end, 4+ message
//       20      4  ErrorCode      the message's error code (action 4 and above)
//       24      4  FileSize       the member's size (action 1)
//       28    512  Text           member name (action 1) or message (4+),
//                                 NUL-terminated within the 512 bytes
//
// The record is 540 bytes on i686. Pointers are the platform's width, so on
// x86_64 (used only to test under 64-bit Wine) the record grows naturally;
// both sides of one process always agree because they share this header.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#ifndef TAV_WIN32_I686
#define TAV_WIN32_I686 1
#endif
#endif

// The standard calling convention of library functions on 32-bit Windows
// (arguments on the stack, removed by the callee). x86_64 and the native
// build have one convention only.
#if defined(TAV_WIN32_I686)
#define TAV_STDCALL __attribute__((__stdcall__))
// Functions called from another module may be entered with the stack aligned
// to 4 bytes only; this realigns it to what our compiled code assumes.
#define TAV_REALIGN_STACK __attribute__((force_align_arg_pointer))
#else
#define TAV_STDCALL
#define TAV_REALIGN_STACK
#endif

// Action codes of UnzipCallbackRecord::ActionCode.
inline constexpr std::int32_t kCallbackFileStart = 1;  // Text = member name, FileSize set
inline constexpr std::int32_t kCallbackStep = 2;
inline constexpr std::int32_t kCallbackBatchEnd = 3;
inline constexpr std::int32_t kCallbackMessage = 4;  // 4 and above: Text = message

// Answers of the callback.
inline constexpr std::int32_t kCallbackGoOn = 0;
inline constexpr std::int32_t kCallbackStop = -1;

// Size of the text area at the end of the callback record.
inline constexpr std::size_t kCallbackTextSize = 512;

struct UnzipCallbackRecord {
  void* LibraryContext;
  void* Caller;
  std::uint32_t LibraryFields[2];
  std::int32_t ActionCode;
  std::int32_t ErrorCode;
  std::int32_t FileSize;
  char Text[kCallbackTextSize];
};

// The caller's callback: kCallbackGoOn to go on, kCallbackStop to stop.
using UnzipCallbackFunction = std::int32_t(TAV_STDCALL*)(UnzipCallbackRecord* record);

#if defined(TAV_WIN32_I686)
static_assert(sizeof(void*) == 4);
static_assert(offsetof(UnzipCallbackRecord, Caller) == 4);
static_assert(offsetof(UnzipCallbackRecord, LibraryFields) == 8);
static_assert(offsetof(UnzipCallbackRecord, ActionCode) == 16);
static_assert(offsetof(UnzipCallbackRecord, ErrorCode) == 20);
static_assert(offsetof(UnzipCallbackRecord, FileSize) == 24);
static_assert(offsetof(UnzipCallbackRecord, Text) == 28);
static_assert(sizeof(UnzipCallbackRecord) == 28 + kCallbackTextSize);
#endif
