// Finding another window on the screen, as a user would: the Wine tests use
// it to reach dialogs, message boxes and programs they did not create.
#pragma once

#include <windows.h>

#include <string>

struct TopLevelWindowQuery {
  DWORD processId = 0;              // 0: any process's
  const char* caption = nullptr;    // null: any caption
  const char* className = nullptr;  // null: any class
};

// The first visible top-level window that matches every part given, or null.
HWND FindTopLevelWindow(const TopLevelWindowQuery& query);

// Polls FindTopLevelWindow for up to timeoutMs; stops early, with null, when
// process is given and has ended.
HWND WaitForTopLevelWindow(const TopLevelWindowQuery& query, DWORD timeoutMs,
                           HANDLE process = nullptr);

// A window's caption and its class's name; another program's too.
std::string WindowTextOf(HWND window);
std::string ClassNameOf(HWND window);
