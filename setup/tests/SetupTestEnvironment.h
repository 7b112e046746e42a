// What every setup test needs: the window layer and the component classes
// set up once, as the program's start-up does, and a fresh main window per
// test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "setup/fmain.h"
#include "winui/Application.h"

// Sets up the layer and registers the classes (idempotent).
void PrepareWindowLayer();

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Shows the main window as the message loop does and handles what follows.
  void ShowMainWindow();
};

// The rectangle of a window relative to its parent window's client area.
RECT ClientRelativeRect(HWND window);
