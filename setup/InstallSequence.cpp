// The install sequence: the steps, their order and their checks.
#include "setup/InstallSequence.h"

#include <initializer_list>
#include <string_view>

#include "base/Exception.h"
#include "base/FileSystem.h"
#include "setup/DestinationFolder.h"

namespace {

// The sequence's own errors, put together from their parts in one place.
[[noreturn]] void Fail(std::initializer_list<std::string_view> parts) {
  std::string message;
  for (const std::string_view part : parts) message += part;
  throw Exception(message);
}

// Copies a carried library into the destination under its own name,
// replacing a file of that name.
void CopyCarriedLibrary(const std::string& carried, const std::string& destination, const char* name) {
  if (carried.empty()) Fail({"Unable to copy ", name, ": its carried copy has gone from the temporary folder"});
  const std::string target = destination + PathSeparator() + name;
  if (!CopyFileReplacing(carried, target)) Fail({"Unable to copy ", name, " to ", target, ": ", LastFileSystemErrorText()});
}

// Prepares the archive component, extracts, and checks that every member of
// the archive's directory was extracted. The component shows what it finds
// wrong in its own boxes; these errors say what that means for the install.
void ExtractArchive(InstallHost& host) {
  TZipMaster& zip = host.Zip();
  zip.SetDLLDirectory(host.Destination());
  zip.SetZipFilename(host.CarriedFileName(CarriedFile::Archive));
  zip.SetExtrBaseDir(host.Destination());
  const std::size_t members = zip.DirEntries().size();
  if (members == 0) Fail({"Unable to read the application archive: it lists no files to install"});
  if (!host.LoadUnzipLibrary()) Fail({"Unable to load the unzip library ", kUnzipLibraryName, " from ", zip.DLLDirectory()});
  const ExtractionOutcome outcome = host.Extract();
  const std::size_t extracted = outcome.ResultCount < 0 ? 0 : static_cast<std::size_t>(outcome.ResultCount);
  if (extracted >= members) return;
  const bool why = !outcome.FirstProblem.empty();
  Fail({"Only ", std::to_string(extracted), " of the ", std::to_string(members),
        " files in the application archive were installed", why ? " (" : "", outcome.FirstProblem, why ? ")" : ""});
}

void Register(InstallHost& host) {
  const std::string destination = host.Destination();
  const InstallOptions options = host.Options();
  host.RegisterInstallation(destination, options);
}

void RunGuardedSteps(InstallHost& host) {
  host.ShowProgressBar();
  host.SetProgress(5);
  CreateDestinationFolder(host.Destination());
  host.SetProgress(10);
  CopyCarriedLibrary(host.CarriedFileName(CarriedFile::ZipLibrary), host.Destination(), kZipLibraryName);
  host.SetProgress(20);
  CopyCarriedLibrary(host.CarriedFileName(CarriedFile::UnzipLibrary), host.Destination(), kUnzipLibraryName);
  for (const int percent : {30, 40, 50, 60}) host.SetProgress(percent);
  ExtractArchive(host);
  host.SetProgress(70);
  Register(host);
  host.SetProgress(100);
}

// The closing steps, with the box that says how it went. The error box
// comes before the window closes too: closing the main window ends the
// message loop, and a box shown after that would end at once.
void Finish(InstallHost& host, bool installed) {
  host.SetBusyCursor(false);
  host.HideWindow();
  if (installed) {
    host.ShowInstalledBox();
  } else {
    host.ShowErrorBox();
  }
  host.CloseWindow();
}

}  // namespace

void RunInstallSequence(InstallHost& host) {
  host.SetBusyCursor(true);
  try {
    RunGuardedSteps(host);
  } catch (...) {
    Finish(host, false);
    return;
  }
  Finish(host, true);
}
