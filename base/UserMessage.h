// Modal message boxes as the program's components use them: a text in a box
// captioned with the application title. The window layer installs the
// presenter that shows real boxes; portable code, host builds and tests run
// with whatever presenter they install (none: the text goes to stderr).
#pragma once

#include <functional>
#include <string>

enum class MessageStyle { Plain, Information };

using MessagePresenter = std::function<void(const std::string& text, MessageStyle style)>;

// Shows text and returns when the user has dismissed it.
void ShowMessage(const std::string& text, MessageStyle style = MessageStyle::Plain);

// Installs presenter and returns the one it replaces.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);
