// The per-call buffers of the unzip library's parameter record.
#include "zip/UnzipCallBuffers.h"

#include <algorithm>

#include "base/Exception.h"

namespace {

// A zero-filled buffer of size bytes holding text and its NUL.
std::vector<char> TextBuffer(const std::string& text, std::size_t size) {
  std::vector<char> buffer(size, '\0');
  std::copy(text.begin(), text.end(), buffer.begin());
  return buffer;
}

}  // namespace

std::optional<std::string> UnzipCallBuffers::Refusal(const std::string& zipFilename,
                                                     const std::string& password,
                                                     const std::vector<std::string>& fileSpecs) {
  if (zipFilename.size() >= kUnzipPathBufferSize) return std::string(kZipFilenameTooLong);
  if (password.size() >= kUnzipPasswordBufferSize) return std::string(kPasswordTooLong);
  if (fileSpecs.size() > kUnzipMaxSpecs) return std::string(kTooManyFileSpecs);
  for (const std::string& spec : fileSpecs) {
    if (spec.size() >= kUnzipSpecBufferSize) return FormatText(kFileSpecTooLong, spec);
  }
  return std::nullopt;
}

UnzipCallBuffers::UnzipCallBuffers(UnzipParams& params, const std::string& zipFilename,
                                   const std::string& password,
                                   const std::vector<std::string>& fileSpecs) {
  if (auto refusal = Refusal(zipFilename, password, fileSpecs)) throw Exception(*refusal);
  zipFilename_ = TextBuffer(zipFilename, kUnzipPathBufferSize);
  password_ = TextBuffer(password, kUnzipPasswordBufferSize);
  params.ZipFilename = zipFilename_.data();
  params.Password = password_.data();
  params.SpecCount = 0;
  fileSpecs_.reserve(fileSpecs.size());
  for (const std::string& spec : fileSpecs) {
    fileSpecs_.push_back(TextBuffer(spec, kUnzipSpecBufferSize));
    params.FileSpecs[params.SpecCount] = fileSpecs_.back().data();
    ++params.SpecCount;
  }
}
