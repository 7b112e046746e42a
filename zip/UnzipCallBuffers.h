// The texts whose addresses the unzip library's parameter record holds for
// the length of one library call: archive path, password and file
// specifications, each in a buffer of the size the interface fixes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "zip/UNZDLL.h"

inline constexpr char kZipFilenameTooLong[] = "Error - zip file name longer than 255 characters";
inline constexpr char kPasswordTooLong[] = "Error - password longer than 80 characters";
inline constexpr char kFileSpecTooLong[] = "Error - file specification longer than 255 characters: %s";
inline constexpr char kTooManyFileSpecs[] = "Error - more than 4097 file specifications";

class UnzipCallBuffers {
 public:
  // The message that refuses texts too long for their buffers (a cut text
  // would make the library open or extract something else), or nothing.
  static std::optional<std::string> Refusal(const std::string& zipFilename, const std::string& password,
                                            const std::vector<std::string>& fileSpecs);

  // Copies the texts into fresh buffers and puts their addresses and the
  // specification count into params. Texts that Refusal refuses raise
  // Exception with its message.
  UnzipCallBuffers(UnzipParams& params, const std::string& zipFilename, const std::string& password,
                   const std::vector<std::string>& fileSpecs);
  // Frees the buffers; params keeps their stale addresses, never to be used.
  ~UnzipCallBuffers() = default;
  UnzipCallBuffers(const UnzipCallBuffers&) = delete;
  UnzipCallBuffers& operator=(const UnzipCallBuffers&) = delete;

 private:
  std::vector<char> zipFilename_;
  std::vector<char> password_;
  std::vector<std::vector<char>> fileSpecs_;
};
