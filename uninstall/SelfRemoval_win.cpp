// The uninstaller's temporary copy: its folder, the copy, its start, the
// wait for the original, and what Windows deletes at its next start.
#include "uninstall/SelfRemoval_win.h"

#include <ntsecapi.h>
#include <sddl.h>

#include <memory>

namespace {

// Long enough for any original to reach its exit once it started the copy.
constexpr DWORD kOriginalEndTimeoutMs = 60000;
constexpr int kFolderNameAttempts = 8;
constexpr const char* kCopyName = "uninstall.exe";

std::string TemporaryFolder() {
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof folder, folder);
  return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

// 16 hexadecimal digits from the system's random source; empty when it fails.
std::string RandomName() {
  unsigned char bytes[8] = {};
  if (!RtlGenRandom(bytes, sizeof bytes)) return {};
  std::string name;
  for (unsigned char byte : bytes) {
    name += "0123456789abcdef"[byte >> 4];
    name += "0123456789abcdef"[byte & 0xF];
  }
  return name;
}

// The user this process runs as, in the security descriptor language.
std::string UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::unique_ptr<std::byte[]> user(new std::byte[size]);
  std::string sid;
  char* text = nullptr;
  if (GetTokenInformation(token, TokenUser, user.get(), size, &size) &&
      ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.get())->User.Sid, &text)) {
    sid = text;
    LocalFree(text);
  }
  CloseHandle(token);
  return sid;
}

// Full control for SYSTEM, the administrators and the user, inherited by
// what is made inside, and nothing from the temporary folder's own list.
PSECURITY_DESCRIPTOR PrivateFolderSecurity() {
  const std::string user = UserSid();
  if (user.empty()) return nullptr;
  const std::string sddl = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + ")";
  PSECURITY_DESCRIPTOR security = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &security, nullptr)) {
    return nullptr;
  }
  return security;
}

bool ReadWhole(HANDLE file, std::vector<char>& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || size.QuadPart > 64 * 1024 * 1024) return false;
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  return ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
}

bool ReadFileBytes(const std::string& path, std::vector<char>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool read = ReadWhole(file, bytes);
  CloseHandle(file);
  return read;
}

// A handle to this process that the copy inherits and can wait on.
HANDLE InheritableHandleToThisProcess() {
  HANDLE handle = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &handle, SYNCHRONIZE, TRUE,
                       0)) {
    return nullptr;
  }
  return handle;
}

}  // namespace

std::string ThisProgramPath() {
  std::vector<char> path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

std::string MakePrivateFolder() {
  const std::string temporary = TemporaryFolder();
  PSECURITY_DESCRIPTOR security = PrivateFolderSecurity();
  if (temporary.empty() || security == nullptr) {
    LocalFree(security);
    return {};
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, security, FALSE};
  std::string made;
  for (int attempt = 0; attempt < kFolderNameAttempts && made.empty(); ++attempt) {
    const std::string random = RandomName();
    if (random.empty()) break;
    // Fails when anything of that name is there already, a planted folder,
    // file or link included: then another name.
    const std::string folder = temporary + "~tavuninst-" + random;
    if (CreateDirectoryA(folder.c_str(), &attributes)) {
      made = folder;
    } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
      break;
    }
  }
  LocalFree(security);
  return made;
}

HeldCopy::HeldCopy(const std::string& source, const std::string& target) {
  std::vector<char> bytes;
  if (!ReadFileBytes(source, bytes)) return;
  HANDLE written = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (written == INVALID_HANDLE_VALUE) return;
  DWORD count = 0;
  const bool complete = WriteFile(written, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
                        count == bytes.size();
  CloseHandle(written);
  if (!complete) return;
  // From here on no one can open it for writing, renaming or deleting; what
  // was written is read back under that hold, so a change made in the
  // moment between the two opens is found.
  held_ = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::vector<char> readBack;
  if (held_ != INVALID_HANDLE_VALUE && (!ReadWhole(held_, readBack) || readBack != bytes)) {
    CloseHandle(held_);
    held_ = INVALID_HANDLE_VALUE;
  }
}

HeldCopy::~HeldCopy() {
  if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
}

HANDLE StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& folder, HANDLE inherited) {
  std::string commandLine = JoinCommandLine({program}) + " " + JoinCommandLine(arguments);
  STARTUPINFOEXA startup{};
  startup.StartupInfo.cb = sizeof startup;
  DWORD flags = 0;
  std::unique_ptr<std::byte[]> attributeStorage;
  if (inherited != nullptr) {
    // Inheriting is all or nothing unless the handles are listed: listed,
    // the copy gets this one and none of the others this process may hold
    // inheritable (some from its own starter).
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    attributeStorage.reset(new std::byte[size]);
    startup.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeStorage.get());
    if (!InitializeProcThreadAttributeList(startup.lpAttributeList, 1, 0, &size)) return nullptr;
    if (!UpdateProcThreadAttribute(startup.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &inherited,
                                   sizeof inherited, nullptr, nullptr)) {
      DeleteProcThreadAttributeList(startup.lpAttributeList);
      return nullptr;
    }
    flags = EXTENDED_STARTUPINFO_PRESENT;
  }
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, inherited != nullptr,
                                      flags, nullptr, folder.c_str(), &startup.StartupInfo, &process);
  if (startup.lpAttributeList != nullptr) DeleteProcThreadAttributeList(startup.lpAttributeList);
  if (!started) return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

HANDLE StartTemporaryCopy(UninstallArguments arguments, bool waitForThis) {
  const std::string folder = MakePrivateFolder();
  if (folder.empty()) return nullptr;
  const std::string copy = folder + "\\" + kCopyName;
  arguments.original = ThisProgramPath();
  HANDLE process = nullptr;
  {
    const HeldCopy held(arguments.original, copy);
    HANDLE self = waitForThis ? InheritableHandleToThisProcess() : nullptr;
    arguments.originalProcess = reinterpret_cast<std::uintptr_t>(self);
    if (held.Made() && (self != nullptr || !waitForThis)) {
      process = StartProgram(copy, TemporaryCopyArguments(arguments), folder, self);
    }
    if (self != nullptr) CloseHandle(self);
  }
  if (process == nullptr) {
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
  }
  return process;
}

void WaitForOriginalToEnd(std::uint64_t processHandle) {
  HANDLE original = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(processHandle));
  WaitForSingleObject(original, kOriginalEndTimeoutMs);
  CloseHandle(original);
}

void RemoveAtNextStart(const std::string& path) { MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }
