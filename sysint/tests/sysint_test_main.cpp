// The program's thread as start-up leaves it: COM initialised as a
// single-threaded apartment, for the shell-link object and the folder dialog.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (FAILED(CoInitialize(nullptr))) return 2;
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
