// Shell link files, made by the system's own shell-link object.
#include <shlobj.h>

#include "base/Exception.h"
#include "base/UserMessage.h"
#include "sysint/ComRef.h"
#include "sysint/OleError.h"
#include "base/PathText.h"
#include "sysint/install.h"

namespace {

// The shell-link object's class. Its identifiers are spelled out here and
// the interfaces' taken with __uuidof: the system's uuid library holds every
// identifier in one object file, 40 KB that the setup program would carry.
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::string SystemMessage(HRESULT code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message(text != nullptr ? text : "", text != nullptr ? length : 0);
  LocalFree(text);
  return message;
}

[[noreturn]] void ThrowOleError(HRESULT code) {
  throw Exception(OleErrorText(static_cast<std::uint32_t>(code), SystemMessage(code)));
}

std::wstring WidePath(const std::string& path) {
  const int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), size);
  return wide;
}

}  // namespace

void CreateShortcut(const std::string& target, const std::string& arguments,
                    const std::string& linkPath, const std::string& description) {
  if (!HasExtension(linkPath, ".LNK")) {
    ShowMessage("Error: link path extension must be .LNK");
    return;
  }

  ComRef<IUnknown> object;
  const HRESULT created =
      CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                       __uuidof(IUnknown), object.Out());
  if (FAILED(created)) ThrowOleError(created);

  ComRef<IShellLinkA> link;
  ComRef<IPersistFile> file;
  if (FAILED(object->QueryInterface(__uuidof(IShellLinkA), link.Out())) ||
      FAILED(object->QueryInterface(__uuidof(IPersistFile), file.Out()))) {
    throw Exception("Interface not supported");
  }

  // The outcomes go unexamined: a link the shell cannot save (its folder is
  // missing or not writable) is simply not made, and the installation goes on.
  link->SetPath(target.c_str());
  link->SetArguments(arguments.c_str());
  link->SetWorkingDirectory(FolderOf(target).c_str());
  link->SetDescription(description.c_str());
  file->Save(WidePath(linkPath).c_str(), FALSE);
}
