// TZipMaster: the zip archive component. It holds one archive's name, lists
// the archive's members as soon as the name is set, and extracts the archive
// through the unzip library, which it loads for the one call (Windows only).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "component/Component.h"
#include "zip/UNZDLL.h"
#include "zip/ZipDirEntry.h"
#include "zip/ZipOptions.h"

using TProgressEvent = std::function<void(TComponent* sender, ProgressType progrType,
                                          const std::string& filename, std::int32_t fileSize)>;
using TMessageEvent =
    std::function<void(TComponent* sender, std::int32_t errCode, const std::string& message)>;

inline constexpr char kDefaultSFXCaption[] = "Self-extracting Archive";
inline constexpr std::size_t kPasswordMaxLength = 255;

class TZipMaster : public TComponent {
 public:
  explicit TZipMaster(TComponent* owner);
  ~TZipMaster() override;

  std::string ClassName() const override { return "TZipMaster"; }

  // Published properties, in stored order.
  bool Verbose() const { return verbose_; }
  void SetVerbose(bool value) { verbose_ = value; }
  bool Trace() const { return trace_; }
  void SetTrace(bool value) { trace_ = value; }
  std::int32_t AddCompLevel() const { return addCompLevel_; }
  void SetAddCompLevel(std::int32_t value) { addCompLevel_ = value; }
  AddOpts AddOptions() const { return addOptions_; }
  void SetAddOptions(AddOpts value) { addOptions_ = value; }
  const std::string& ExtrBaseDir() const { return extrBaseDir_; }
  void SetExtrBaseDir(const std::string& value) { extrBaseDir_ = value; }
  ExtrOpts ExtrOptions() const { return extrOptions_; }
  void SetExtrOptions(ExtrOpts value) { extrOptions_ = value; }
  SFXOpts SFXOptions() const { return sfxOptions_; }
  void SetSFXOptions(SFXOpts value) { sfxOptions_ = value; }
  // The component's own list; emptied by every extraction that reaches the library.
  std::vector<std::string>& FSpecArgs() { return fSpecArgs_; }
  const std::vector<std::string>& FSpecArgs() const { return fSpecArgs_; }
  void SetFSpecArgs(const std::vector<std::string>& lines) { fSpecArgs_ = lines; }
  const std::string& ZipFilename() const { return zipFilename_; }
  // Stores the name and reads the archive's directory (on every write).
  void SetZipFilename(const std::string& value);
  const std::string& Password() const { return password_; }
  // A short text: only the first 255 characters are kept.
  void SetPassword(const std::string& value) { password_ = value.substr(0, kPasswordMaxLength); }
  const std::string& SFXPath() const { return sfxPath_; }
  void SetSFXPath(const std::string& value) { sfxPath_ = value; }
  const std::string& DLLDirectory() const { return dllDirectory_; }
  // Stores the folder without one trailing backslash.
  void SetDLLDirectory(const std::string& value);
  OvrOpts SFXOverWriteMode() const { return sfxOverWriteMode_; }
  void SetSFXOverWriteMode(OvrOpts value) { sfxOverWriteMode_ = value; }
  const std::string& SFXCaption() const { return sfxCaption_; }
  void SetSFXCaption(const std::string& value) { sfxCaption_ = value; }
  const std::string& SFXDefaultDir() const { return sfxDefaultDir_; }
  void SetSFXDefaultDir(const std::string& value) { sfxDefaultDir_ = value; }
  const std::string& SFXCommandLine() const { return sfxCommandLine_; }
  void SetSFXCommandLine(const std::string& value) { sfxCommandLine_ = value; }
  void SetOnDirUpdate(TNotifyEvent handler) { onDirUpdate_ = std::move(handler); }
  void SetOnProgress(TProgressEvent handler) { onProgress_ = std::move(handler); }
  void SetOnMessage(TMessageEvent handler) { onMessage_ = std::move(handler); }

  // The members of the archive, in file order, as the last directory read left them.
  const std::vector<ZipDirEntry>& DirEntries() const { return dirEntries_; }
  // Rebuilds DirEntries from the archive, then calls OnDirUpdate; see ZipMstr.cpp.
  void ReadZipDirectory();
  void ClearZipDirectory();

  void* OwnerWindow() const { return ownerWindow_; }
  bool CancelRequest() const { return cancelRequest_; }
  void SetCancelRequest(bool value) { cancelRequest_ = value; }
  bool Extracting() const { return extracting_; }
  std::int32_t ResultCount() const { return resultCount_; }

  // Fills the fixed part of the library's parameter record from the properties.
  void FillUnzipParams();
  const UnzipParams& Params() const { return unzipParams_; }

  // The library's callback: reports become OnProgress and OnMessage events.
  // Answers kCallbackStop while CancelRequest is set, and also when an event
  // handler raised (the extraction then ends with "Fatal DLL Error: abort
  // exception"); no exception ever leaves it.
  static std::int32_t TAV_STDCALL TAV_REALIGN_STACK UnzipCallback(UnzipCallbackRecord* record);
  // Replaces a final CR or LF, and then one before it, by NUL; keeps the length.
  static std::string StripLineEnd(std::string text);

#if defined(_WIN32)
  // Extracts the archive into ExtrBaseDir through the unzip library; the
  // library's answer is left in ResultCount. See ZipExtract_win.cpp.
  void Extract();
  // Loads "UNZDLL.DLL" (from DLLDirectory first) and looks up its entry points.
  void LoadUnzipLibrary();
  static void UnloadUnzipLibrary();
  static bool UnzipLibraryLoaded();
#endif

 protected:
  void DeclareProperties(PropertyTable& table) override;

 private:
  void NotifyDirUpdate();
  void DispatchCallback(const UnzipCallbackRecord& record);

  bool verbose_ = false;
  bool trace_ = false;
  std::int32_t addCompLevel_ = 9;
  AddOpts addOptions_;
  std::string extrBaseDir_;
  ExtrOpts extrOptions_;
  SFXOpts sfxOptions_;
  std::vector<std::string> fSpecArgs_;
  std::string zipFilename_;
  std::string password_;
  std::string sfxPath_;
  std::string dllDirectory_;
  OvrOpts sfxOverWriteMode_ = OvrConfirm;
  std::string sfxCaption_ = kDefaultSFXCaption;
  std::string sfxDefaultDir_;
  std::string sfxCommandLine_;
  TNotifyEvent onDirUpdate_;
  TProgressEvent onProgress_;
  TMessageEvent onMessage_;

  std::vector<ZipDirEntry> dirEntries_;
  void* ownerWindow_ = nullptr;
  bool cancelRequest_ = false;
  bool extracting_ = false;
  bool handlerFailed_ = false;
  std::int32_t resultCount_ = 0;
  // Lives in the component so that its address stays fixed while the library runs.
  UnzipParams unzipParams_{};
};

// Registers "TZipMaster" for stored window descriptions.
void RegisterZipMstrComponents();
