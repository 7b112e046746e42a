#include "base/UserMessage.h"

#include <cstdio>
#include <utility>

namespace {

// Empty until someone installs one; no initialisation order to worry about,
// as an empty std::function is constant-initialised.
MessagePresenter installedPresenter;

MessagePresenter& CurrentPresenter() { return installedPresenter; }

}  // namespace

void ShowMessage(const std::string& text, MessageStyle style) {
  if (CurrentPresenter()) {
    CurrentPresenter()(text, style);
    return;
  }
  std::fputs(text.c_str(), stderr);
  std::fputc('\n', stderr);
}

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
  return std::exchange(CurrentPresenter(), std::move(presenter));
}
