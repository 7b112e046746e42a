#include "uninstall/Arguments.h"

#include <charconv>

#include "base/Exception.h"

namespace {

constexpr std::string_view kSilent = "/S";
constexpr std::string_view kReport = "/REPORT=";
constexpr std::string_view kRemove = "/REMOVE=";
constexpr std::string_view kWait = "/WAIT=";

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

std::uint64_t ParseHandle(std::string_view digits) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || value == 0) {
    throw Exception(FormatText("Invalid process handle '%s'", std::string(digits)));
  }
  return value;
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
  bool waitGiven = false;
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
      waitGiven = true;
    } else {
      throw Exception(FormatText("Unknown argument '%s'", argument));
    }
  }
  if (waitGiven != parsed.IsTemporaryCopy()) throw Exception("/REMOVE= and /WAIT= go together");
  return parsed;
}

std::vector<std::string> TemporaryCopyArguments(const UninstallArguments& forCopy) {
  std::vector<std::string> words = {std::string(kRemove) + forCopy.original,
                                    std::string(kWait) + std::to_string(forCopy.originalProcess)};
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
