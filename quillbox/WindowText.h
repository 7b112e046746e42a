// What the stand-in for TAV Quillbox shows: its name and version, and the
// document it was started with (as the ".tav" association's open command
// starts it) and whether that file exists.
#pragma once

#include <optional>
#include <string>

inline constexpr const char* kQuillboxTitle = "TAV Quillbox 2.1";

struct OpenedDocument {
  std::string path;
  bool exists = false;
};

// Lines end in CR LF, as a Windows static control shows them.
std::string QuillboxWindowText(const std::optional<OpenedDocument>& document);
