// The built uninstall.exe asks Windows for administrator rights before it
// starts (it removes keys under HKEY_LOCAL_MACHINE and has files deleted at
// the next start), and names the version the installation records.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "sysint/InstallLayout.h"
#include "uninstall/tests/BuildPaths.h"
#include "testsupport/VersionInfo_win.h"

namespace {

TEST(UninstallerResources, TheManifestAsksForAdministratorRights) {
  HMODULE module = LoadLibraryExA(kBuiltUninstaller, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
  ASSERT_NE(found, nullptr) << "no manifest";
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
  const std::string manifest(data, SizeofResource(module, found));
  FreeLibrary(module);
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\""), std::string::npos)
      << manifest;
}

TEST(UninstallerResources, TheVersionRecordIsTheInstalledVersion) {
  const std::vector<char> info = VersionInfoOf(kBuiltUninstaller);
  ASSERT_FALSE(info.empty());
  EXPECT_EQ(VersionString(info, "FileVersion"), kInstalledVersion);
  EXPECT_EQ(VersionString(info, "ProductVersion"), kInstalledVersion);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 2));  // 2.1.1.0
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 2));
  EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 1));
}

}  // namespace
