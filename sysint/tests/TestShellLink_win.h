// Reading shell link files back through the shell's own object, and the
// files and folders the shortcut tests make.
#pragma once

#include <optional>
#include <string>

struct LinkFields {
  std::string Target;
  std::string Arguments;
  std::string WorkingFolder;
  std::string Description;
};

// The fields of the link file at path; nullopt when it cannot be loaded.
std::optional<LinkFields> ReadLink(const std::string& path);

bool FileExists(const std::string& path);

// A fresh folder of this test program's own under parent (ending in "\"; by
// default the temporary folder), ending in "\"; removed with its files when
// destroyed.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name, std::string parent = {});
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  // How many files lie directly inside it.
  std::size_t FileCount() const;

 private:
  std::string path_;
};
