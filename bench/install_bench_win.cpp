// Install benchmark driver, run under Wine: starts one installer as a user
// would and times it from process start, with the installer's peak working
// set. scripts/bench-install.sh runs it many times and prints the table.
//
//   install_bench startup EXE [CAPTION]    until a window CAPTION (or, with
//                                          none, any window) is shown
//   install_bench install EXE DEST TEMP    ours: the main window, DEST typed,
//                                          "Install" clicked, until the
//                                          "Information" box is shown (its
//                                          temporary files in TEMP)
//   install_bench click DONE EXE [ARG...]  another installer through its
//                                          windows: its first window's default
//                                          button clicked at once, until a
//                                          window captioned DONE is shown
//   install_bench run EXE [ARG...]         until the process has ended
//
// Prints one line: "ms=<elapsed> peak_kb=<peak working set> exit=<code>".
// Any other outcome (a window that never comes, an error box, a non-zero
// exit) is printed to stderr and gives exit code 1, so that no failed run is
// ever taken for a fast one. Windows are looked for every millisecond.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "setup/driver/SetupRun_win.h"
#include "testsupport/TopLevelWindow_win.h"

namespace {

constexpr DWORD kTimeoutMs = 600000;
constexpr char kMainCaption[] = "TAV Quillbox One Step Install";

class Clock {
 public:
  Clock() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double ElapsedMs() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER start_{};
};

// The peak working set of a running process, in KB; 0 once it has ended.
SIZE_T PeakKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return K32GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize / 1024 : 0;
}

// Waits for a visible top-level window of the process; null when the
// process ended or the time ran out. peakKb follows the process's peak
// working set meanwhile (sampled every 10 ms, so as not to slow it).
HWND AwaitWindow(HANDLE process, const TopLevelWindowQuery& query, SIZE_T& peakKb) {
  for (DWORD waited = 0; waited < kTimeoutMs; ++waited) {
    if (HWND found = FindTopLevelWindow(query)) return found;
    if (waited % 10 == 0) {
      if (SIZE_T peak = PeakKb(process)) peakKb = peak;
    }
    if (WaitForSingleObject(process, 1) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

int Report(double ms, SIZE_T peakKb, DWORD exitCode) {
  std::printf("ms=%.1f peak_kb=%zu exit=%lu\n", ms, static_cast<size_t>(peakKb), exitCode);
  return exitCode == 0 ? 0 : 1;
}

int Fail(const char* what) {
  std::fprintf(stderr, "install_bench: %s\n", what);
  return 1;
}

// Another program, started with its arguments as given: some installers
// read their command line raw (NSIS wants "/D=" unquoted, last).
PROCESS_INFORMATION Start(int argc, char** argv) {
  std::string commandLine = std::string("\"") + argv[0] + "\"";
  for (int i = 1; i < argc; ++i) commandLine += std::string(" ") + argv[i];
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(argv[0], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "install_bench: cannot start %s (error %lu)\n", argv[0], GetLastError());
    std::exit(1);
  }
  CloseHandle(process.hThread);
  return process;
}

DWORD EndOf(HANDLE process) {
  DWORD code = 1;
  if (WaitForSingleObject(process, kTimeoutMs) != WAIT_OBJECT_0) TerminateProcess(process, 1);
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

// Start-up until the window is shown (any, without a caption); the program
// is then ended.
int Startup(char* exe, const char* caption) {
  Clock clock;
  const PROCESS_INFORMATION process = Start(1, &exe);
  SIZE_T peakKb = 0;
  HWND window = AwaitWindow(process.hProcess, {process.dwProcessId, caption, nullptr}, peakKb);
  const double ms = clock.ElapsedMs();
  if (SIZE_T peak = PeakKb(process.hProcess)) peakKb = peak;
  TerminateProcess(process.hProcess, 0);
  EndOf(process.hProcess);
  return window != nullptr ? Report(ms, peakKb, 0) : Fail("the window never came");
}

// The whole install of ours, as a user clicks through it.
int Install(const char* exe, const char* destination, const char* temp) {
  Clock clock;
  SetupRun run(exe, temp);
  if (!run.Started()) return Fail("cannot start the setup program");
  SIZE_T peakKb = 0;
  if (AwaitWindow(run.Process(), {GetProcessId(run.Process()), kMainCaption, nullptr}, peakKb) == nullptr ||
      run.WaitForMainWindow(kTimeoutMs) == nullptr)  // at once: it is shown
    return Fail("the main window never came");
  run.SetDestination(destination);
  run.ClickInstall();
  HWND box = AwaitWindow(run.Process(), {GetProcessId(run.Process()), "Information", "#32770"}, peakKb);
  const double ms = clock.ElapsedMs();
  if (box == nullptr) return Fail("no \"Information\" box: the install failed");
  if (SIZE_T peak = PeakKb(run.Process())) peakKb = peak;
  SetupRun::PressEnter(SetupRun::ReadBox(box));
  return Report(ms, peakKb, run.WaitForExit());
}

// Another installer as a user clicks through it: the default button (IDOK)
// of its first window, then its window that says it is done.
int Click(int argc, char** argv, const char* doneCaption) {
  Clock clock;
  const PROCESS_INFORMATION process = Start(argc, argv);
  SIZE_T peakKb = 0;
  HWND first = AwaitWindow(process.hProcess, {process.dwProcessId, nullptr, nullptr}, peakKb);
  HWND button = first != nullptr ? GetDlgItem(first, IDOK) : nullptr;
  if (button == nullptr) return Fail("no first window with a default button");
  PostMessageA(button, BM_CLICK, 0, 0);
  HWND done = AwaitWindow(process.hProcess, {process.dwProcessId, doneCaption, nullptr}, peakKb);
  const double ms = clock.ElapsedMs();
  if (done == nullptr) return Fail("the installer never said it was done");
  if (SIZE_T peak = PeakKb(process.hProcess)) peakKb = peak;
  TerminateProcess(process.hProcess, 0);
  EndOf(process.hProcess);
  return Report(ms, peakKb, 0);
}

// A program that works without windows (a silent install, an extraction).
int Run(int argc, char** argv) {
  Clock clock;
  const PROCESS_INFORMATION process = Start(argc, argv);
  SIZE_T peakKb = 0;
  while (WaitForSingleObject(process.hProcess, 5) != WAIT_OBJECT_0) {
    if (SIZE_T peak = PeakKb(process.hProcess)) peakKb = peak;
  }
  const double ms = clock.ElapsedMs();
  return Report(ms, peakKb, EndOf(process.hProcess));
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "startup") == 0)
    return Startup(argv[2], argc == 4 ? argv[3] : nullptr);
  if (argc == 5 && std::strcmp(argv[1], "install") == 0) return Install(argv[2], argv[3], argv[4]);
  if (argc >= 4 && std::strcmp(argv[1], "click") == 0) return Click(argc - 3, argv + 3, argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "run") == 0) return Run(argc - 2, argv + 2);
  std::fprintf(stderr, "usage: install_bench startup EXE [CAPTION] | install EXE DEST TEMP | click DONE EXE [ARG...] | run EXE [ARG...]\n");
  return 2;
}
