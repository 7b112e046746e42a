#include "base/UserMessage.h"

#include <cstdio>
#include <utility>

namespace {

MessagePresenter& CurrentPresenter() {
  static MessagePresenter presenter;
  return presenter;
}

}  // namespace

void ShowMessage(const std::string& text, MessageStyle style) {
  if (CurrentPresenter()) {
    CurrentPresenter()(text, style);
    return;
  }
  std::fprintf(stderr, "%s\n", text.c_str());
}

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
  return std::exchange(CurrentPresenter(), std::move(presenter));
}
