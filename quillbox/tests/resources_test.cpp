// The built "TAV Quillbox.exe" carries the program icon as index 0 and the
// document icon as index 1 (what the association's DefaultIcon ",1" names),
// byte for byte from the data files, and a version record naming the product.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "quillbox/tests/BuildPaths.h"
#include "sysint/InstallLayout.h"
#include "testsupport/VersionInfo_win.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Little32(const Bytes& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The images of an .ico file, in the file's order.
std::vector<Bytes> IconFileImages(const char* path) {
  std::ifstream file(path, std::ios::binary);
  const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::vector<Bytes> images;
  if (bytes.size() < 6) return images;
  const std::size_t count = bytes[4] | bytes[5] << 8;
  for (std::size_t i = 0; i < count && 6 + 16 * (i + 1) <= bytes.size(); ++i) {
    const std::uint32_t size = Little32(bytes, 6 + 16 * i + 8);
    const std::uint32_t offset = Little32(bytes, 6 + 16 * i + 12);
    if (offset + std::uint64_t{size} > bytes.size()) return {};
    images.emplace_back(bytes.begin() + offset, bytes.begin() + offset + size);
  }
  return images;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<LPSTR>*>(names)->push_back(name);  // numeric names only: no copy needed
  return TRUE;
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)

Bytes ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return {};
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
  return Bytes(data, data + SizeofResource(module, found));
}

// The images of the executable's icon at index, in the icon group's order.
std::vector<Bytes> ExecutableIconImages(HMODULE module, std::size_t index) {
  std::vector<LPSTR> groups;
  EnumResourceNamesA(module, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, CollectName,
                     reinterpret_cast<LONG_PTR>(&groups));
  if (index >= groups.size()) return {};
  const Bytes group = ResourceBytes(module, groups[index], MAKEINTRESOURCEA(14));
  std::vector<Bytes> images;
  const std::size_t count = group.size() >= 6 ? (group[4] | group[5] << 8) : 0;
  for (std::size_t i = 0; i < count && 6 + sizeof(GroupIconEntry) * (i + 1) <= group.size(); ++i) {
    GroupIconEntry entry;
    std::memcpy(&entry, group.data() + 6 + sizeof entry * i, sizeof entry);
    images.push_back(ResourceBytes(module, MAKEINTRESOURCEA(entry.id), MAKEINTRESOURCEA(3) /* RT_ICON */));
  }
  return images;
}

TEST(QuillboxResources, IconZeroIsTheProgramsAndIconOneTheDocuments) {
  EXPECT_EQ(ExtractIconExA(kBuiltQuillbox, -1, nullptr, nullptr, 0), 2u);
  HMODULE module = LoadLibraryExA(kBuiltQuillbox, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const std::vector<Bytes> programIcon = IconFileImages(kProgramIconFile);
  const std::vector<Bytes> documentIcon = IconFileImages(kDocumentIconFile);
  ASSERT_FALSE(programIcon.empty());
  ASSERT_NE(programIcon, documentIcon);
  EXPECT_EQ(ExecutableIconImages(module, 0), programIcon);
  EXPECT_EQ(ExecutableIconImages(module, 1), documentIcon);
  FreeLibrary(module);
}

TEST(QuillboxResources, VersionRecordNamesProductAndVersion) {
  const std::vector<char> info = VersionInfoOf(kBuiltQuillbox);
  ASSERT_FALSE(info.empty());
  EXPECT_EQ(VersionString(info, "ProductName"), "TAV Quillbox");
  EXPECT_EQ(VersionString(info, "FileDescription"), "TAV Quillbox");
  EXPECT_EQ(VersionString(info, "OriginalFilename"), "TAV Quillbox.exe");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  // The version the installation records, everywhere.
  EXPECT_EQ(VersionString(info, "FileVersion"), kInstalledVersion);
  EXPECT_EQ(VersionString(info, "ProductVersion"), kInstalledVersion);
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 2));  // 2.1.1.0
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 2));
  EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 1));
}

}  // namespace
