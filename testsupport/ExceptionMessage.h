// The message of the error an action raises, for tests that check the
// exact text the user would see.
#pragma once

#include <functional>
#include <string>

#include "base/Exception.h"

// The Exception's message, or "(no exception)" when the action succeeds.
inline std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no exception)";
}
