#include "uninstall/PathMatch.h"

namespace {

std::string ComparableForm(const std::string& path) {
  std::string form;
  form.reserve(path.size());
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    // A network path's leading "\\" is not a doubled separator.
    if (c == '\\' && form.size() > 1 && form.back() == '\\') continue;
    form.push_back(c);
  }
  while (form.size() > 1 && form.back() == '\\') form.pop_back();
  return form;
}

}  // namespace

bool SamePath(const std::string& left, const std::string& right) {
  return ComparableForm(left) == ComparableForm(right);
}

bool CommandStartsProgram(const std::string& command, const std::string& program) {
  if (!command.empty() && command.front() == '"') {
    const std::size_t close = command.find('"', 1);
    if (close == std::string::npos) return false;
    return SamePath(command.substr(1, close - 1), program);
  }
  const std::string form = ComparableForm(command);
  const std::string wanted = ComparableForm(program);
  return form.compare(0, wanted.size(), wanted) == 0 &&
         (form.size() == wanted.size() || form[wanted.size()] == ' ');
}
