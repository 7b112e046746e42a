// The uninstaller removes only what is its own and says the truth, under
// Wine: a copy of it outside any installation, a destination written in
// another form, a drive's root, a folder that leads elsewhere, a planted file
// where its temporary copy used to go, handles and libraries someone else
// put in its way, and a bad command line in a silent run.
#include <windows.h>
#include <aclapi.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "sysint/InstallLayout.h"
#include "sysint/WindowsSystem_win.h"
#include "sysint/install.h"
#include "uninstall/tests/BuildPaths.h"
#include "uninstall/tests/Installation_win.h"

namespace {

Win32System windows;

constexpr const char* kRemovedMessage = "TAV Quillbox was removed.";

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string Quoted(const std::string& text) { return std::string(1, '"').append(text).append(1, '"'); }

bool AllInstalledFilesIn(const std::string& folder) {
  for (const char* name : kInstalledFiles) {
    if (!Exists(folder + "\\" + name)) return false;
  }
  return true;
}

// A host program, run through Wine's start of Unix programs; its exit code.
DWORD RunHostProgram(const char* program, const std::string& arguments, const std::string& folder) {
  std::string commandLine = std::string(program) + " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, kWaitMs);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

std::string OldTemporaryCopyPath(DWORD originalId) {
  char name[32] = {};
  wsprintfA(name, "~tavuninst%lx.exe", static_cast<unsigned long>(originalId));
  return TemporaryFolder() + name;
}

TEST_F(Installation, AStrayCopyOutsideAnyInstallationRemovesNothingSilently) {
  const std::string registered = folder_ + " registered";
  RegisterInstallation(windows, registered, false, false, false);  // the real installation is elsewhere

  const SilentRun run = RunSilently();

  EXPECT_EQ(run.exitCode, kExitNothingRemoved);
  EXPECT_EQ(run.reportAtExit, run.report);
  EXPECT_NE(run.report.find(folder_), std::string::npos) << run.report;
  EXPECT_NE(run.report.find("not registered"), std::string::npos) << run.report;
  EXPECT_EQ(run.report.find(kRemovedMessage), std::string::npos) << run.report;
  EXPECT_TRUE(AllInstalledFilesIn(folder_));
  EXPECT_EQ(ReadRegString(windows, RegistryRoot::LocalMachine, kAppPathsExeKey, "Path"), registered);
}

TEST_F(Installation, AStrayCopyAsksForTheFolderByNameAndRemovesOnlyAfterYes) {
  const PROCESS_INFORMATION asked = Start("");
  ASSERT_NE(asked.hProcess, nullptr);
  HWND question = WaitForBox(asked.dwProcessId);
  ASSERT_NE(question, nullptr);
  EXPECT_NE(ControlTexts(question).find(folder_), std::string::npos) << ControlTexts(question);
  PostMessageA(question, WM_COMMAND, IDNO, 0);
  EXPECT_EQ(Finish(asked, false).exitCode, kExitNothingRemoved);
  EXPECT_TRUE(AllInstalledFilesIn(folder_));

  const PROCESS_INFORMATION confirmed = Start("");
  ASSERT_NE(confirmed.hProcess, nullptr);
  HWND report = AnswerYesForReport(confirmed);
  ASSERT_NE(report, nullptr);
  EXPECT_NE(ControlTexts(report).find(kRemovedMessage), std::string::npos) << ControlTexts(report);
  PressAndWait(report, IDOK);
  EXPECT_FALSE(Exists(folder_));
}

// The destination as typed is kept in the registry: any way of writing this
// folder still names it, and the uninstall command is read quoted or bare.
TEST_F(Installation, AFolderRegisteredInAnotherFormIsStillThisInstallation) {
  char shortForm[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(folder_.c_str(), shortForm, MAX_PATH), 0u);
  ASSERT_NE(std::string(shortForm), folder_);
  const std::string parent = FolderOf(folder_);
  struct Form {
    std::string destination;
    bool bareCommand;
  };
  const Form forms[] = {
      {parent + "\\.\\" + NameOf(folder_), false},
      {parent + "\\other\\..\\" + NameOf(folder_), false},
      {shortForm, false},
      {std::string("\\\\?\\").append(folder_), false},
      {folder_, true},  // as earlier installations wrote it: no quotes around a path with blanks
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.destination + (form.bareCommand ? " (bare command)" : ""));
    CreateDirectoryA(folder_.c_str(), nullptr);
    PutInstalledFiles(folder_);
    RegisterInstallation(windows, form.destination, true, true, false);
    if (form.bareCommand) {
      WriteRegString(windows, RegistryRoot::LocalMachine, kUninstallKey, "UninstallString",
                     folder_ + "\\UNINSTALL.EXE");
    }

    const SilentRun run = RunSilently();

    EXPECT_EQ(run.exitCode, kExitRemoved);
    EXPECT_EQ(run.report, kRemovedMessage);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPathsExeKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kDocumentType));
    EXPECT_FALSE(Exists(programsLink_));
    EXPECT_FALSE(Exists(folder_));
  }
}

// Letters beyond ASCII in another case are the same to the file system (the
// ANSI code page's "\xE9" and "\xC9": e acute, small and capital).
TEST_F(Installation, AFolderRegisteredWithOtherCapitalsIsThisInstallation) {
  ASSERT_EQ(GetACP(), 1252u);
  const std::string folder = folder_ + " caf\xE9";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  PutInstalledFiles(folder);
  RegisterInstallation(windows, folder_ + " CAF\xC9", false, false, false);

  const SilentRun run = RunSilently({}, folder + "\\uninstall.exe");

  EXPECT_EQ(run.exitCode, kExitRemoved) << run.report;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(Exists(folder));
}

TEST_F(Installation, ADriveRootIsRefused) {
  const std::string root = "C:\\";
  std::vector<std::string> planted;
  for (const char* name : kInstalledFiles) {
    if (!Exists(root + name)) planted.push_back(root + name);
  }
  ASSERT_EQ(planted.size(), std::size(kInstalledFiles)) << "C:\\ already holds a file of the list";
  PutInstalledFiles("C:");
  RegisterInstallation(windows, "C:", false, false, false);  // "C:\UNINSTALL.EXE"

  const SilentRun run = RunSilently({}, root + "uninstall.exe");

  EXPECT_EQ(run.exitCode, kExitNothingRemoved);
  EXPECT_NE(run.report.find("root"), std::string::npos) << run.report;
  EXPECT_TRUE(AllInstalledFilesIn("C:"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  for (const std::string& file : planted) DeleteFileA(file.c_str());
}

// Wine 8 cannot make a junction (FSCTL_SET_REPARSE_POINT answers "not
// supported", CreateSymbolicLinkA does nothing), but it shows a host's
// symbolic link to a folder as a folder with FILE_ATTRIBUTE_REPARSE_POINT.
TEST_F(Installation, AFolderThatLeadsElsewhereIsRefused) {
  const std::string link = folder_ + " link";
  ASSERT_EQ(RunHostProgram("Z:\\bin\\ln", "-s " + Quoted(NameOf(folder_)) + " " + Quoted(NameOf(link)),
                           FolderOf(folder_)),
            0u);
  // Wine's handle to a host program may signal before the program is done.
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  for (DWORD waited = 0; waited < kWaitMs && attributes == INVALID_FILE_ATTRIBUTES; waited += kPollMs) {
    Sleep(kPollMs);
    attributes = GetFileAttributesA(link.c_str());
  }
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  ASSERT_NE(attributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  RegisterInstallation(windows, link, false, false, false);

  const SilentRun run = RunSilently({}, link + "\\uninstall.exe");
  RunHostProgram("Z:\\bin\\rm", Quoted(NameOf(link)), FolderOf(folder_));

  EXPECT_EQ(run.exitCode, kExitNothingRemoved);
  EXPECT_NE(run.report.find(link), std::string::npos) << run.report;
  EXPECT_TRUE(AllInstalledFilesIn(folder_));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Installation, ASilentRunWithABadArgumentEndsAtOnceWithoutABox) {
  RegisterInstallation(windows, folder_, false, false, false);

  const SilentRun run = RunSilently(" /BOGUS");

  EXPECT_EQ(run.exitCode, kExitNothingRemoved);
  EXPECT_NE(run.reportAtExit.find("/BOGUS"), std::string::npos) << run.reportAtExit;
  EXPECT_TRUE(AllInstalledFilesIn(folder_));
  EXPECT_TRUE(TemporaryCopies().empty());
}

TEST_F(Installation, WhatIsPlantedWhereTheTemporaryCopyUsedToGoIsLeftAlone) {
  for (const bool plantFolder : {false, true}) {
    SCOPED_TRACE(plantFolder ? "a folder" : "a file");
    CreateDirectoryA(folder_.c_str(), nullptr);
    PutInstalledFiles(folder_);
    RegisterInstallation(windows, folder_, false, false, false);
    DeleteFileA(report_.c_str());
    const PROCESS_INFORMATION process =
        Start(" /S \"/REPORT=" + report_ + "\"", CREATE_SUSPENDED);
    ASSERT_NE(process.hProcess, nullptr);
    const std::string planted = OldTemporaryCopyPath(process.dwProcessId);
    if (plantFolder) {
      ASSERT_TRUE(CreateDirectoryA(planted.c_str(), nullptr));
    } else {
      WriteFile(planted, "planted");
    }
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);

    const SilentRun run = Finish(process);

    EXPECT_EQ(run.exitCode, kExitRemoved);
    EXPECT_EQ(run.report, kRemovedMessage);
    EXPECT_FALSE(Exists(folder_));
    if (plantFolder) {
      EXPECT_NE(GetFileAttributesA(planted.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
      RemoveDirectoryA(planted.c_str());
    } else {
      EXPECT_EQ(ReadFile(planted).substr(0, 16), "planted");
      DeleteFileA(planted.c_str());
    }
  }
}

bool OnlySystemAdministratorsAndTheUserMayEnter(const std::string& folder) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR security = nullptr;
  if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                            nullptr, &security) != ERROR_SUCCESS) {
    return false;
  }
  bool restricted = dacl != nullptr && dacl->AceCount > 0;  // a missing list lets everyone in
  for (DWORD i = 0; restricted && i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    GetAce(dacl, i, reinterpret_cast<void**>(&ace));
    if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    PSID sid = &reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
    for (WELL_KNOWN_SID_TYPE open : {WinWorldSid, WinBuiltinUsersSid, WinAuthenticatedUserSid,
                                     WinInteractiveSid, WinBuiltinGuestsSid, WinAnonymousSid}) {
      restricted &= !IsWellKnownSid(sid, open);
    }
  }
  LocalFree(security);
  return restricted;
}

// The copy that removes the installation runs from a folder made for it
// under a name no one can foresee, open to no one else.
TEST_F(Installation, TheTemporaryCopyRunsFromANewFolderOfItsOwn) {
  std::vector<std::string> copyFolders;
  for (int run = 0; run < 2; ++run) {
    CreateDirectoryA(folder_.c_str(), nullptr);
    PutInstalledFiles(folder_);
    RegisterInstallation(windows, folder_, false, false, false);
    const PROCESS_INFORMATION process = Start(" /S \"/REPORT=" + report_ + "\"");
    ASSERT_NE(process.hProcess, nullptr);
    const DWORD originalId = process.dwProcessId;
    ASSERT_EQ(Finish(process).exitCode, kExitRemoved);

    std::string copyFolder;
    for (const std::string& entry : TemporaryCopies()) {
      if ((GetFileAttributesA(entry.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0) copyFolder = entry;
    }
    ASSERT_FALSE(copyFolder.empty()) << "no folder of the temporary copy is to be removed";
    EXPECT_EQ(FolderOf(copyFolder) + "\\", TemporaryFolder());
    char pidName[16] = {};
    wsprintfA(pidName, "%lx", static_cast<unsigned long>(originalId));
    EXPECT_EQ(NameOf(copyFolder).find(pidName), std::string::npos) << copyFolder;
    EXPECT_GE(NameOf(copyFolder).size(), 16u) << copyFolder;
    EXPECT_TRUE(OnlySystemAdministratorsAndTheUserMayEnter(copyFolder)) << copyFolder;
    copyFolders.push_back(NameOf(copyFolder));
    ForgetTemporaryCopies();
  }
  EXPECT_NE(copyFolders[0], copyFolders[1]);
}

// A handle that the uninstaller's starter let it inherit (a script's log
// file, say) must not stay open in the copy, which outlives the starter.
TEST_F(Installation, TheTemporaryCopyInheritsNoHandleOfItsStarter) {
  RegisterInstallation(windows, folder_, false, false, false);
  const std::string marker = folder_ + " marker.txt";
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE held = CreateFileA(marker.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                            CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const PROCESS_INFORMATION process = Start("", 0, true);
  ASSERT_NE(process.hProcess, nullptr);
  HWND report = AnswerYesForReport(process);
  ASSERT_NE(report, nullptr);

  CloseHandle(held);
  EXPECT_TRUE(DeleteFileA(marker.c_str())) << "the copy still holds the file";
  PressAndWait(report, IDOK);
  DeleteFileA(marker.c_str());
}

// LoadLibraryA as it lies in another process: kernel32 is not always at one
// address in every process (32-bit Wine may place it elsewhere in each).
LPTHREAD_START_ROUTINE RemoteLoadLibrary(HANDLE process) {
  const HMODULE local = GetModuleHandleA("kernel32.dll");
  const auto offset = reinterpret_cast<const char*>(GetProcAddress(local, "LoadLibraryA")) -
                      reinterpret_cast<const char*>(local);
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return nullptr;
  for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
    char name[MAX_PATH] = {};
    if (GetModuleBaseNameA(process, modules[i], name, sizeof name) != 0 && lstrcmpiA(name, "kernel32.dll") == 0)
      return reinterpret_cast<LPTHREAD_START_ROUTINE>(
          reinterpret_cast<void (*)()>(reinterpret_cast<char*>(modules[i]) + offset));
  }
  return nullptr;
}

// A library planted beside the uninstaller (where a download may land) is
// not loaded by its bare name: asked for one while the question is on the
// screen, the uninstaller finds none.
TEST_F(Installation, ALibraryPlantedBesideTheUninstallerIsNotLoadedByName) {
  RegisterInstallation(windows, folder_, false, false, false);
  ASSERT_TRUE(CopyFileA(kBuiltZipLibrary, InFolder("tavprobe.dll").c_str(), FALSE));
  extraFiles_.push_back(InFolder("tavprobe.dll"));
  const PROCESS_INFORMATION process = Start("");
  ASSERT_NE(process.hProcess, nullptr);
  HWND question = WaitForBox(process.dwProcessId);
  ASSERT_NE(question, nullptr);

  static const char kName[] = "tavprobe.dll";
  void* remoteName = VirtualAllocEx(process.hProcess, nullptr, sizeof kName, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(remoteName, nullptr);
  ASSERT_TRUE(WriteProcessMemory(process.hProcess, remoteName, kName, sizeof kName, nullptr));
  const LPTHREAD_START_ROUTINE loadLibrary = RemoteLoadLibrary(process.hProcess);
  ASSERT_NE(loadLibrary, nullptr);
  HANDLE thread = CreateRemoteThread(process.hProcess, nullptr, 0, loadLibrary, remoteName, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, kWaitMs), WAIT_OBJECT_0);
  DWORD loaded = 1;
  GetExitCodeThread(thread, &loaded);
  CloseHandle(thread);
  EXPECT_EQ(loaded, 0u) << "the planted library was loaded";

  PostMessageA(question, WM_COMMAND, IDNO, 0);
  Finish(process, false);
}

}  // namespace
