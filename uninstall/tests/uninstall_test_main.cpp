// The uninstaller's tests under Wine: registrations are made with shortcuts,
// which need a COM apartment on the thread.
#include <gtest/gtest.h>
#include <objbase.h>

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
