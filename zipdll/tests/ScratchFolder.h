// A fresh folder that is the current folder for one test, and the file
// helpers the zip tests share.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <cstdio>
#include <string>
#include <vector>

#include "ReadBack.h"

class ScratchFolder {
 public:
  ScratchFolder() : previous_(std::filesystem::current_path()) {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("zipdll-test-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
             std::to_string(++counter));
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~ScratchFolder() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // The names in the folder (not below it) that hold text.
  std::vector<std::string> NamesHolding(const std::string& text) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      const std::string name = entry.path().filename().string();
      if (name.find(text) != std::string::npos) names.push_back(name);
    }
    return names;
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const readback::Bytes& bytes) {
  const auto parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot create " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
}

inline void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, readback::Bytes(text.begin(), text.end()));
}

// Sets the file's last-write time to now plus offset.
inline void SetAge(const std::string& path, std::chrono::hours offset) {
  std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() + offset);
}
