#include "uninstall/Arguments.h"

#include <charconv>

#include "base/Exception.h"

namespace {

constexpr std::string_view kSilent = "/S";
constexpr std::string_view kReport = "/REPORT=";
constexpr std::string_view kRemove = "/REMOVE=";
constexpr std::string_view kWait = "/WAIT=";
constexpr std::string_view kConfirmed = "/CONFIRMED";

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// The handle's value; 0 when digits are not a decimal handle.
std::uint64_t ParseHandle(std::string_view digits) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() ? value : 0;
}

// The C runtime's rule: backslashes are literal unless a quote follows them;
// then each pair stands for one backslash and an odd one escapes the quote.
std::string Quoted(const std::string& word) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

}  // namespace

UninstallArguments ParseUninstallArguments(const std::vector<std::string>& arguments) {
  UninstallArguments parsed;
  const auto refuse = [&parsed](const std::string& error) {
    if (parsed.error.empty()) parsed.error = error;
  };
  for (const std::string& argument : arguments) {
    const std::string_view word = argument;
    if (word == kSilent) {
      parsed.silent = true;
    } else if (StartsWith(word, kReport) && word.size() > kReport.size()) {
      parsed.reportPath = word.substr(kReport.size());
    } else if (StartsWith(word, kRemove) && word.size() > kRemove.size()) {
      parsed.original = word.substr(kRemove.size());
    } else if (StartsWith(word, kWait)) {
      parsed.originalProcess = ParseHandle(word.substr(kWait.size()));
      if (parsed.originalProcess == 0) refuse(FormatText("Invalid process handle '%s'", argument));
    } else if (word == kConfirmed) {
      parsed.folderConfirmed = true;
    } else {
      refuse(FormatText("Unknown argument '%s'", argument));
    }
  }
  if (!parsed.IsTemporaryCopy() && (parsed.originalProcess != 0 || parsed.folderConfirmed)) {
    refuse("/WAIT= and /CONFIRMED go only with /REMOVE=");
  }
  return parsed;
}

std::vector<std::string> TemporaryCopyArguments(const UninstallArguments& forCopy) {
  std::vector<std::string> words = {std::string(kRemove) + forCopy.original};
  if (forCopy.originalProcess != 0) words.push_back(std::string(kWait) + std::to_string(forCopy.originalProcess));
  if (forCopy.folderConfirmed) words.emplace_back(kConfirmed);
  if (forCopy.silent) words.emplace_back(kSilent);
  if (!forCopy.reportPath.empty()) words.push_back(std::string(kReport) + forCopy.reportPath);
  return words;
}

std::string JoinCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line.push_back(' ');
    line += Quoted(word);
  }
  return line;
}
