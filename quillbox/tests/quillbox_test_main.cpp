// The stand-in's tests under Wine: the shell is asked to open documents, so
// the thread is a COM apartment as a shell's caller's should be.
#include <gtest/gtest.h>
#include <objbase.h>

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
