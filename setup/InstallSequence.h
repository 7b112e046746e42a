// The install sequence behind "Install": from the busy cursor to the closed
// main window, in a fixed order, with the outcome of every step checked so
// that no failure is reported as success.
//
// It reaches the main window, its carried files, its zip archive component
// and the registration through InstallHost, and files and folders through
// the file-system seam, so that its order and its failure paths also run
// natively against a fake host.
#pragma once

#include <cstdint>
#include <string>

#include "zip/ZipMstr.h"

// The main window's three options, as checked.
struct InstallOptions {
  bool Associate = false;
  bool StartMenu = false;
  bool Desktop = false;
};

// The files the main window carries (its file sources).
enum class CarriedFile { ZipLibrary, UnzipLibrary, Archive };

// What one extraction did: the library's count of extracted members, and
// the first problem it reported (empty when none).
struct ExtractionOutcome {
  std::int32_t ResultCount = 0;
  std::string FirstProblem;
};

class InstallHost {
 public:
  virtual ~InstallHost() = default;

  // The main window: each change shows at once, without the message loop.
  virtual void SetBusyCursor(bool busy) = 0;
  // Grows the window by the progress bar's height and shows the bar.
  virtual void ShowProgressBar() = 0;
  virtual void SetProgress(int percent) = 0;
  // The destination as typed, read afresh at every call.
  virtual std::string Destination() = 0;
  virtual InstallOptions Options() = 0;
  virtual void HideWindow() = 0;
  // "TAV Quillbox installed." in a modal information box.
  virtual void ShowInstalledBox() = 0;
  // The program's top-level error box for the exception being handled
  // (called inside a catch block).
  virtual void ShowErrorBox() = 0;
  // Closing the main window ends the program.
  virtual void CloseWindow() = 0;

  // The temporary file holding a carried file; empty when it has gone.
  virtual std::string CarriedFileName(CarriedFile file) = 0;

  // The zip archive component, and what of it needs the system: loading
  // the unzip library (true when it is loaded) and the extraction, which
  // unloads it again.
  virtual TZipMaster& Zip() = 0;
  virtual bool LoadUnzipLibrary() = 0;
  virtual ExtractionOutcome Extract() = 0;

  virtual void RegisterInstallation(const std::string& destination, const InstallOptions& options) = 0;
};

// The files the sequence writes beside the archive's members.
inline constexpr char kZipLibraryName[] = "zipdll.dll";
inline constexpr char kUnzipLibraryName[] = "unzdll.dll";

// The whole sequence:
//   1. busy cursor;
//   2-14, guarded: the window grows and the bar shows (5); the destination
//      folder with its parents (10); the zip library copied (20), the unzip
//      library copied (30, 40, 50, 60); the archive component gets
//      DLLDirectory, ZipFilename (which reads the archive's directory) and
//      ExtrBaseDir, all from the destination and the archive's file; the
//      extraction (70); the registration with the destination and the
//      three options (100);
//   15-18: default cursor; window hidden; "TAV Quillbox installed." only
//      when every guarded step completed, otherwise the error box with the
//      first error; the window closed.
// A guarded step fails (and the rest are skipped) when the folder is not
// there afterwards, a copy fails (naming the file and the system's reason),
// the archive's directory lists no member, the unzip library is not loaded,
// or fewer members were extracted than the directory lists; and with
// whatever error the archive component's directory read or the
// registration raise.
void RunInstallSequence(InstallHost& host);
