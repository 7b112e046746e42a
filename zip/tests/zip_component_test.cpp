// TZipMaster's properties, stored description and directory read, against
// archives written by Python's zipfile and by hand.
#include <gtest/gtest.h>

#include <fstream>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipMstr.h"
#include "zip/tests/ZipBytes.h"
#include "zip/tests/ZipTestSupport.h"

namespace {

using zipbytes::Builder;
using zipbytes::Member;
using ziptest::CapturedMessages;
using ziptest::Fixture;
using ziptest::TempFolder;
using Names = std::vector<std::string>;

Names NamesOf(const TZipMaster& zip) {
  Names names;
  for (const ZipDirEntry& e : zip.DirEntries()) names.push_back(e.MemberName);
  return names;
}

struct ManifestLine {
  std::string name;
  std::uint32_t crc, packed, size, method;
};

std::vector<ManifestLine> Manifest(const std::string& path) {
  std::ifstream in(path);
  std::vector<ManifestLine> lines;
  ManifestLine line{};
  while (in >> line.name >> line.crc >> line.packed >> line.size >> line.method) lines.push_back(line);
  return lines;
}

TEST(ZipMasterProperties, StartWithTheirInitialValues) {
  TZipMaster zip(nullptr);
  EXPECT_EQ(zip.ClassName(), "TZipMaster");
  EXPECT_FALSE(zip.Verbose());
  EXPECT_FALSE(zip.Trace());
  EXPECT_EQ(zip.AddCompLevel(), 9);
  EXPECT_EQ(zip.AddOptions(), AddOpts{});
  EXPECT_EQ(zip.ExtrOptions(), ExtrOpts{});
  EXPECT_EQ(zip.SFXOptions(), SFXOpts{});
  EXPECT_EQ(zip.SFXOverWriteMode(), OvrConfirm);
  EXPECT_EQ(zip.SFXCaption(), "Self-extracting Archive");
  EXPECT_TRUE(zip.ExtrBaseDir().empty() && zip.ZipFilename().empty() && zip.Password().empty());
  EXPECT_TRUE(zip.SFXPath().empty() && zip.DLLDirectory().empty() && zip.SFXDefaultDir().empty());
  EXPECT_TRUE(zip.SFXCommandLine().empty() && zip.FSpecArgs().empty() && zip.DirEntries().empty());
  EXPECT_FALSE(zip.CancelRequest());
  EXPECT_FALSE(zip.Extracting());
  EXPECT_EQ(zip.ResultCount(), 0);
  EXPECT_EQ(zip.OwnerWindow(), nullptr);
}

TEST(ZipMasterProperties, ArePublishedInStoredOrderWithTheirSymbols) {
  TZipMaster zip(nullptr);
  PropertyTable table = zip.Properties();
  Names names;
  for (const PropertyInfo& p : table.All()) {
    if (p.Published) names.push_back(p.Name);
  }
  const Names expected = {"Verbose", "Trace", "AddCompLevel", "AddOptions", "ExtrBaseDir", "ExtrOptions",
                          "SFXOptions", "FSpecArgs", "ZipFilename", "Password", "SFXPath", "DLLDirectory",
                          "SFXOverWriteMode", "SFXCaption", "SFXDefaultDir", "SFXCommandLine",
                          "OnDirUpdate", "OnProgress", "OnMessage"};
  // The base class may publish its own properties first (Name, Tag).
  ASSERT_GE(names.size(), expected.size());
  EXPECT_EQ(Names(names.end() - static_cast<std::ptrdiff_t>(expected.size()), names.end()), expected);
  EXPECT_EQ(table.Find("AddOptions")->Symbols,
            (Names{"AddDirNames", "AddRecurseDirs", "AddMove", "AddFreshen", "AddUpdate", "AddZipTime",
                   "AddForceDOS", "AddHiddenFiles", "AddEncrypt"}));
  EXPECT_EQ(table.Find("ExtrOptions")->Symbols,
            (Names{"ExtrDirNames", "ExtrOverWrite", "ExtrFreshen", "ExtrUpdate", "ExtrTest"}));
  EXPECT_EQ(table.Find("SFXOptions")->Symbols, (Names{"SFXAskCmdLine", "SFXAskFiles", "SFXHideOverWriteBox"}));
  EXPECT_EQ(table.Find("SFXOverWriteMode")->Symbols, (Names{"OvrConfirm", "OvrAlways", "OvrNever"}));
  EXPECT_EQ(table.Find("AddOptions")->Kind, PropertyKind::Set);
  EXPECT_EQ(table.Find("SFXOverWriteMode")->Kind, PropertyKind::Enum);
  EXPECT_EQ(table.Find("FSpecArgs")->Kind, PropertyKind::Strings);
  EXPECT_EQ(table.Find("OnProgress")->Kind, PropertyKind::Event);
}

TEST(ZipMasterProperties, StoreEveryValueButEmptyTexts) {
  TZipMaster zip(nullptr);
  PropertyTable table = zip.Properties();
  // The Windows builds only read descriptions and leave the writer's rules out.
  if (!table.Find("Verbose")->GetBool) GTEST_SKIP() << "built to read descriptions only";
  for (const char* always : {"Verbose", "Trace", "AddCompLevel", "AddOptions", "ExtrOptions", "SFXOptions",
                             "SFXOverWriteMode", "SFXCaption"}) {
    const PropertyInfo* p = table.Find(always);
    EXPECT_TRUE(!p->IsStored || p->IsStored()) << always;
  }
  for (const char* empty : {"ExtrBaseDir", "FSpecArgs", "ZipFilename", "Password", "DLLDirectory"}) {
    const PropertyInfo* p = table.Find(empty);
    ASSERT_TRUE(p->IsStored) << empty;
    EXPECT_FALSE(p->IsStored()) << empty;
  }
  zip.SetExtrBaseDir("C:\\x");
  EXPECT_TRUE(table.Find("ExtrBaseDir")->IsStored());
}

TEST(ZipMasterProperties, SetsHoldMemberNAsBitN) {
  EXPECT_EQ(ExtrOpts{ExtrOverWrite}.ToBits(), 0x02);
  EXPECT_EQ((ExtrOpts{ExtrDirNames, ExtrTest}.ToBits()), 0x11);
  EXPECT_EQ(AddOpts{AddEncrypt}.ToBits(), 0x100);
  EXPECT_EQ(SFXOpts{SFXHideOverWriteBox}.ToBits(), 0x04);
  // A description's bits beyond the last member are dropped.
  EXPECT_EQ(ExtrOpts::FromBits(0xFF), (ExtrOpts{ExtrDirNames, ExtrOverWrite, ExtrFreshen, ExtrUpdate, ExtrTest}));
}

TEST(ZipMasterProperties, TakeADescriptionsValuesAndHandlers) {
  TZipMaster zip(nullptr);
  PropertyTable table = zip.Properties();
  table.Find("ExtrOptions")->SetInt(ExtrOpts{ExtrOverWrite}.ToBits());
  table.Find("SFXOverWriteMode")->SetInt(OvrNever);
  table.Find("SFXCaption")->SetString("TAV Quillbox self-extractor");
  table.Find("AddCompLevel")->SetInt(3);
  table.Find("Trace")->SetBool(true);
  table.Find("FSpecArgs")->SetLines({"*.txt", "a?.exe"});
  EXPECT_EQ(zip.ExtrOptions(), ExtrOpts{ExtrOverWrite});
  EXPECT_EQ(zip.SFXOverWriteMode(), OvrNever);
  EXPECT_EQ(zip.SFXCaption(), "TAV Quillbox self-extractor");
  EXPECT_EQ(zip.AddCompLevel(), 3);
  EXPECT_TRUE(zip.Trace());
  EXPECT_EQ(zip.FSpecArgs(), (Names{"*.txt", "a?.exe"}));
  if (table.Find("ExtrOptions")->GetInt) {
    EXPECT_EQ(table.Find("ExtrOptions")->GetInt(), 0x02);
  }

  int updates = 0;
  table.Find("OnDirUpdate")->BindHandler(std::any(TNotifyEvent([&](TComponent* sender) {
    EXPECT_EQ(sender, &zip);
    ++updates;
  })));
  zip.ReadZipDirectory();
  EXPECT_EQ(updates, 1);
  // A handler of another event's type does not fit.
  EXPECT_THROW(table.Find("OnMessage")->BindHandler(std::any(TNotifyEvent([](TComponent*) {}))), Exception);
}

TEST(ZipMasterProperties, DLLDirectoryLosesOneTrailingBackslash) {
  TZipMaster zip(nullptr);
  zip.SetDLLDirectory("C:\\Program Files\\TAV\\");
  EXPECT_EQ(zip.DLLDirectory(), "C:\\Program Files\\TAV");
  zip.SetDLLDirectory("D:\\two\\\\");
  EXPECT_EQ(zip.DLLDirectory(), "D:\\two\\");
  // Writing the stored value changes nothing, not even its last backslash.
  zip.SetDLLDirectory("D:\\two\\");
  EXPECT_EQ(zip.DLLDirectory(), "D:\\two\\");
  zip.SetDLLDirectory("\\");
  EXPECT_EQ(zip.DLLDirectory(), "");
}

TEST(ZipMasterProperties, FSpecArgsCopiesTheGivenLines) {
  TZipMaster zip(nullptr);
  std::vector<std::string> lines = {"a", "b"};
  zip.SetFSpecArgs(lines);
  lines.push_back("c");
  EXPECT_EQ(zip.FSpecArgs(), (Names{"a", "b"}));
  zip.SetFSpecArgs({"z"});
  EXPECT_EQ(zip.FSpecArgs(), Names{"z"});
}

TEST(ZipMasterProperties, PasswordIsAShortText) {
  TZipMaster zip(nullptr);
  zip.SetPassword(std::string(300, 'p'));
  EXPECT_EQ(zip.Password(), std::string(255, 'p'));
}

TEST(ZipMasterComponent, TakesItsOwnersWindowAndDiesWithIt) {
  RegisterZipMstrComponents();
  const ComponentFactory* factory = FindComponentClass("TZipMaster");
  ASSERT_NE(factory, nullptr);
  int window = 0;
  ziptest::FakeForm form(&window);
  TComponent* made = (*factory)(&form);
  ASSERT_NE(dynamic_cast<TZipMaster*>(made), nullptr);
  EXPECT_EQ(static_cast<TZipMaster*>(made)->OwnerWindow(), &window);
  EXPECT_EQ(made->Owner(), &form);
  EXPECT_EQ(form.ComponentCount(), 1u);
}

class ZipMasterDirectory : public ::testing::Test {
 protected:
  ZipMasterDirectory() {
    zip.SetOnDirUpdate([this](TComponent* sender) {
      EXPECT_EQ(sender, &zip);
      events.push_back("OnDirUpdate");
    });
  }

  CapturedMessages messages;
  TZipMaster zip{nullptr};
  std::vector<std::string> events;
  TempFolder folder{"dir"};
};

TEST_F(ZipMasterDirectory, ListsWhatPythonsZipfileWrote) {
  for (const char* archive : {"three", "long_name"}) {
    SCOPED_TRACE(archive);
    zip.SetZipFilename(Fixture(std::string(archive) + ".zip"));
    const std::vector<ManifestLine> manifest = Manifest(Fixture(std::string(archive) + ".txt"));
    ASSERT_EQ(zip.DirEntries().size(), manifest.size());
    for (std::size_t i = 0; i < manifest.size(); ++i) {
      const ZipDirEntry& e = zip.DirEntries()[i];
      EXPECT_EQ(e.MemberName, manifest[i].name.substr(0, 256));
      EXPECT_EQ(e.NameLength, manifest[i].name.size());
      EXPECT_EQ(e.Crc32, manifest[i].crc);
      EXPECT_EQ(e.PackedSize, manifest[i].packed);
      EXPECT_EQ(e.UnpackedSize, manifest[i].size);
      EXPECT_EQ(e.PackMethod, manifest[i].method);
    }
  }
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(events.size(), 2u);
}

TEST_F(ZipMasterDirectory, ListsWhatOurZipLibraryWrote) {
  zip.SetZipFilename(Fixture("tavzip.zip"));
  const Names members = {"make_zip_fixtures.py", "ZipBytes.h", "ZipTestSupport.h"};
  ASSERT_EQ(NamesOf(zip), members);
  for (std::size_t i = 0; i < members.size(); ++i) {
    const auto size = std::filesystem::file_size(std::string(TAV_ZIP_TEST_SOURCES) + "/" + members[i]);
    EXPECT_EQ(zip.DirEntries()[i].UnpackedSize, size) << members[i];
    EXPECT_EQ(zip.DirEntries()[i].PackMethod, 8) << members[i];
  }
  EXPECT_TRUE(messages.texts.empty());
}

TEST_F(ZipMasterDirectory, ReadsOnEveryWriteOfTheName) {
  zip.SetZipFilename(Fixture("three.zip"));
  zip.SetZipFilename(Fixture("three.zip"));
  EXPECT_EQ(events.size(), 2u);
  EXPECT_EQ(zip.DirEntries().size(), 3u);
}

TEST_F(ZipMasterDirectory, AMissingFileEmptiesTheListQuietly) {
  zip.SetZipFilename(Fixture("three.zip"));
  zip.SetZipFilename(folder.File("missing.zip"));
  EXPECT_TRUE(zip.DirEntries().empty());
  EXPECT_EQ(events.size(), 2u);
  zip.SetZipFilename("");
  EXPECT_EQ(events.size(), 3u);
  EXPECT_TRUE(messages.texts.empty());
}

TEST_F(ZipMasterDirectory, NoMemberShowsItsMessageBeforeOnDirUpdate) {
  zipbytes::WriteFile(folder.Path() / "empty.zip", Builder().End().Result());
  zip.SetOnDirUpdate([this](TComponent*) {
    EXPECT_EQ(messages.texts, Names{"No valid zip entries found"});
    events.push_back("OnDirUpdate");
  });
  zip.SetZipFilename(folder.File("empty.zip"));
  EXPECT_TRUE(zip.DirEntries().empty());
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(messages.texts, Names{"No valid zip entries found"});
}

TEST_F(ZipMasterDirectory, SelfExtractorsAreSearchedFromOffset14000) {
  zip.SetZipFilename(Fixture("setup.ExE"));
  EXPECT_EQ(NamesOf(zip), (Names{"ReadMe.txt", "stored.bin", "folder/empty.txt"}));
  EXPECT_TRUE(messages.texts.empty());
  zip.SetZipFilename(Fixture("early.EXE"));
  EXPECT_TRUE(zip.DirEntries().empty());
  EXPECT_EQ(messages.texts, Names{"No valid zip entries found"});
  // The same bytes under another extension are read from the start.
  zip.SetZipFilename(Fixture("early.zip"));
  EXPECT_EQ(NamesOf(zip), Names{"big.bin"});
}

TEST_F(ZipMasterDirectory, ABrokenArchiveRaisesAfterClosingItAndCallingOnDirUpdate) {
  const std::string path = folder.File("broken.zip");
  zipbytes::WriteFile(path, Builder().Local(Member("kept", "data")).Fill(22, 9).Result());
  zip.SetOnDirUpdate([&](TComponent*) {
    events.push_back("OnDirUpdate");
    // Closed already: a writer may open it (the reader shares it for reading only).
    EXPECT_NO_THROW(TFileStream(path, FileMode::OpenReadWrite));
  });
  try {
    zip.SetZipFilename(path);
    ADD_FAILURE() << "nothing raised";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Error reading Zip File");
  }
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(NamesOf(zip), Names{"kept"});
  EXPECT_EQ(zip.ZipFilename(), path);
  EXPECT_TRUE(messages.texts.empty());
}

#if defined(_WIN32)
TEST_F(ZipMasterDirectory, AnArchiveThatCannotBeOpenedRaisesWithoutOnDirUpdate) {
  const std::string path = folder.File("locked.zip");
  TFileStream holder(path, FileMode::Create);  // unshared while it lives
  try {
    zip.SetZipFilename(path);
    ADD_FAILURE() << "nothing raised";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + path);
  }
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(zip.DirEntries().empty());
}
#endif

}  // namespace
