// A library linked as the shipped ones are (tav_link_for_size), for the
// thread calls' tests: its call throws and catches on the calling thread and
// on a thread of its own, so each gets the runtime's thread-local data.
#include <string>
#include <thread>

#include "base/Exception.h"

namespace {

int ThrowAndCatch(int value) {
  try {
    throw Exception(std::string(static_cast<std::size_t>(value), 'x'));
  } catch (const Exception& caught) {
    return static_cast<int>(caught.Message().size());
  }
}

}  // namespace

extern "C" __declspec(dllexport) int ThrowAndCatchHereAndOnAThread(int value);

extern "C" int ThrowAndCatchHereAndOnAThread(int value) {
  int onThread = 0;
  std::thread thread([&] { onThread = ThrowAndCatch(value); });
  thread.join();
  return ThrowAndCatch(value) + onThread;
}
