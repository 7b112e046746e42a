// Windows as the installation and its uninstaller use it, a few calls wide:
// string values of the registry, the Windows folder, the shell's notice of
// changed associations, and shell link files. The registration logic and
// the uninstaller's decisions run on it, so they are tested natively against
// a fake too; Win32System (WindowsSystem_win.h) is the real one. No call
// throws: what it found or why it failed is its result.
#pragma once

#include <optional>
#include <string>
#include <utility>

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

// How a key is opened for writing: with full access (the application's
// keys), or for reading and writing only (the document association's).
enum class KeyAccess { Full, ReadWrite };

// What reading one value found.
struct RegistryValue {
  enum class Kind {
    Missing,     // no such key or value, a key that cannot be opened, or an empty value of another type
    Text,        // a string (REG_SZ, REG_EXPAND_SZ as stored): text up to its first NUL
    Other,       // a value of another type
    Unreadable,  // its data could not be read after its size was taken
  };
  Kind kind = Kind::Missing;
  std::string text;
  bool operator==(const RegistryValue&) const = default;
};

// How removing one thing went. Removing what is not there is Done.
struct Outcome {
  enum class State { Done, AtRestart, Failed };
  State state = State::Done;
  std::string reason;  // for Failed: why, as the user reads it

  static Outcome Done() { return {}; }
  // Windows removes it when it next starts.
  static Outcome AtRestart() { return {State::AtRestart, {}}; }
  static Outcome Failed(std::string why) { return {State::Failed, std::move(why)}; }
};

// What a shell link starts and how it describes itself.
struct ShellLinkFields {
  std::string target;
  std::string arguments;
  std::string workingFolder;
  std::string description;
};

class WindowsSystem {
 public:
  virtual ~WindowsSystem() = default;

  // The key is opened for reading only. An empty value name is the key's
  // default value (so for every call below).
  virtual RegistryValue ReadValue(RegistryRoot root, const std::string& keyPath,
                                  const std::string& valueName) = 0;
  // Writes a REG_SZ value, its size counting the terminating NUL, creating
  // the key path as needed; false when the key or the value could not be.
  virtual bool WriteString(RegistryRoot root, KeyAccess access, const std::string& keyPath,
                           const std::string& valueName, const std::string& text) = 0;
  virtual bool KeyExists(RegistryRoot root, const std::string& keyPath) = 0;
  // Whether the key holds neither values nor subkeys.
  virtual bool KeyIsEmpty(RegistryRoot root, const std::string& keyPath) = 0;
  // Removes the key with its values and subkeys.
  virtual Outcome DeleteKeyTree(RegistryRoot root, const std::string& keyPath) = 0;
  virtual Outcome DeleteValue(RegistryRoot root, const std::string& keyPath,
                              const std::string& valueName) = 0;

  // The Windows folder as the system gives it (up to 1,023 characters);
  // empty when it gives none.
  virtual std::string WindowsFolder() = 0;
  // Tells the shell that file associations changed: it caches them and
  // their icons, and would show the old ones until the next logon.
  virtual void AssociationsChanged() = 0;

  // Writes the shell link file linkPath through the system's shell-link
  // object, replacing a file of that name. Empty when written, or when the
  // shell refused to save it (its folder is missing or not writable: it is
  // simply not there); else why the link object failed, as the user reads it.
  virtual std::string WriteShellLink(const std::string& linkPath, const ShellLinkFields& fields) = 0;
  // The program a shell link file starts; nothing when there is no such
  // file or it is not a readable link.
  virtual std::optional<std::string> ShellLinkTarget(const std::string& linkPath) = 0;
};
