// TZipMaster: construction, published properties and the directory read.
#include "zip/ZipMstr.h"

#include <exception>
#include <memory>

#include "base/FileStream.h"
#include "base/FileSystem.h"
#include "base/PathText.h"
#include "base/UserMessage.h"
#include "zip/ZipDirectory.h"

namespace {

std::int64_t DirectoryStartOf(const std::string& path) {
  return HasExtension(path, ".EXE") ? kExeArchiveStart : 0;
}

}  // namespace

TZipMaster::TZipMaster(TComponent* owner) : TComponent(owner) {
  if (owner != nullptr) ownerWindow_ = owner->WindowHandle();
}

TZipMaster::~TZipMaster() { ClearZipDirectory(); }

void TZipMaster::SetZipFilename(const std::string& value) {
  zipFilename_ = value;
  ReadZipDirectory();
}

void TZipMaster::SetDLLDirectory(const std::string& value) {
  if (value == dllDirectory_) return;
  dllDirectory_ = value;
  if (!dllDirectory_.empty() && dllDirectory_.back() == '\\') dllDirectory_.pop_back();
}

void TZipMaster::ClearZipDirectory() {
  while (!dirEntries_.empty()) dirEntries_.pop_back();
}

void TZipMaster::NotifyDirUpdate() {
  if (onDirUpdate_) onDirUpdate_(this);
}

// Whatever way the read ends, the file is closed before OnDirUpdate runs, and
// a raised error reaches the caller after it, with the members found so far
// kept. A file that cannot be opened raises at once, without OnDirUpdate.
void TZipMaster::ReadZipDirectory() {
  ClearZipDirectory();
  if (!FileExistsAt(zipFilename_)) {
    NotifyDirUpdate();
    return;
  }
  std::exception_ptr failure;
  {
    TFileStream archive(zipFilename_, FileMode::OpenRead);
    try {
      if (ReadZipDirectoryEntries(archive, DirectoryStartOf(zipFilename_), dirEntries_) ==
          DirectoryReadEnd::NoEntriesFound) {
        ShowMessage(kNoValidZipEntries);
      }
    } catch (...) {
      failure = std::current_exception();
    }
  }
  NotifyDirUpdate();
  if (failure) std::rethrow_exception(failure);
}

// Every Boolean, integer, set and enumeration property is stored, also with
// its initial value; empty texts and an empty list are not.
void TZipMaster::DeclareProperties(PropertyTable& table) {
  TComponent::DeclareProperties(table);
  const auto text = [&table](const char* name, std::string& field,
                             Accessor<void(const std::string&)> set) {
    table.String(name, [&field] { return field; }, set);
    table.StoredWhen([&field] { return !field.empty(); });
  };
  const auto plainText = [&text](const char* name, std::string& field) {
    text(name, field, [&field](const std::string& v) { field = v; });
  };
  const auto bits = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };

  table.Boolean("Verbose", [this] { return verbose_; }, [this](bool v) { verbose_ = v; });
  table.Boolean("Trace", [this] { return trace_; }, [this](bool v) { trace_ = v; });
  table.Integer("AddCompLevel", [this] { return addCompLevel_; }, [this](std::int32_t v) { addCompLevel_ = v; });
  table.Set("AddOptions", AddOptsSymbols(), [this] { return std::int32_t{addOptions_.ToBits()}; },
            [this, bits](std::int32_t v) { addOptions_ = AddOpts::FromBits(bits(v)); });
  plainText("ExtrBaseDir", extrBaseDir_);
  table.Set("ExtrOptions", ExtrOptsSymbols(), [this] { return std::int32_t{extrOptions_.ToBits()}; },
            [this, bits](std::int32_t v) { extrOptions_ = ExtrOpts::FromBits(bits(v)); });
  table.Set("SFXOptions", SFXOptsSymbols(), [this] { return std::int32_t{sfxOptions_.ToBits()}; },
            [this, bits](std::int32_t v) { sfxOptions_ = SFXOpts::FromBits(bits(v)); });
  table.Strings("FSpecArgs", [this] { return fSpecArgs_; },
                [this](const std::vector<std::string>& v) { SetFSpecArgs(v); });
  table.StoredWhen([this] { return !fSpecArgs_.empty(); });
  text("ZipFilename", zipFilename_, [this](const std::string& v) { SetZipFilename(v); });
  text("Password", password_, [this](const std::string& v) { SetPassword(v); });
  plainText("SFXPath", sfxPath_);
  text("DLLDirectory", dllDirectory_, [this](const std::string& v) { SetDLLDirectory(v); });
  table.Enum("SFXOverWriteMode", OvrOptsSymbols(), [this] { return std::int32_t{sfxOverWriteMode_}; },
             [this](std::int32_t v) {
               if (v >= OvrConfirm && v <= OvrNever) sfxOverWriteMode_ = static_cast<OvrOpts>(v);
             });
  plainText("SFXCaption", sfxCaption_);
  plainText("SFXDefaultDir", sfxDefaultDir_);
  plainText("SFXCommandLine", sfxCommandLine_);
  table.Event<TNotifyEvent>("OnDirUpdate", [this](const TNotifyEvent& h) { onDirUpdate_ = h; });
  table.Event<TProgressEvent>("OnProgress", [this](const TProgressEvent& h) { onProgress_ = h; });
  table.Event<TMessageEvent>("OnMessage", [this](const TMessageEvent& h) { onMessage_ = h; });
}

void RegisterZipMstrComponents() {
  RegisterComponentClass("TZipMaster", [](TComponent* owner) -> TComponent* { return new TZipMaster(owner); });
}
