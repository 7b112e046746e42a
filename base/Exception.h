// The program's failures: exceptions that carry the message text the user sees.
#pragma once

#include <exception>
#include <string>

// The general exception class. Every failure of the program is one of these
// or derived from it; the top-level handler shows Message() as it stands.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Failures of the byte streams: short reads and writes, files that cannot be
// opened or created.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// Replaces the first "%s" of pattern by argument: the program's messages
// carry at most one inserted text (a path, a name).
std::string FormatText(const std::string& pattern, const std::string& argument);
