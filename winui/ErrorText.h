// The text of the top-level error box: an error's message, closed with a
// full stop when it does not end in one already.
#pragma once

#include <string>

// message with "." appended when it is not empty and its last character
// (compared as an unsigned 8-bit code) sorts after "."; a message ending in
// ".", " ", "!", ")", "," or "-" stays as it is.
std::string ErrorBoxText(const std::string& message);
