// A DLL put beside a copy of the program, under the name of one it loads, is
// never loaded: the search is limited to the system folder at the entry, and
// what is not a known DLL is loaded by its full path.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"

namespace zd {
namespace {

// Wine takes its own copy of a system DLL wherever it finds a file of that
// name; told to prefer files for this program, it loads a planted one as
// Windows does. Windows ignores the key.
constexpr wchar_t kWineOverrides[] = L"Software\\Wine\\AppDefaults\\zd-probe.exe\\DllOverrides";

void PreferFilesUnderWine(const wchar_t* const (&names)[2]) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kWineOverrides, 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t order[] = L"native,builtin";
  for (const wchar_t* name : names) {
    const std::wstring module(name, wcslen(name) - 4);  // without ".dll"
    RegSetValueExW(key, module.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                   sizeof(order));
  }
  RegCloseKey(key);
}

TEST(DllSearchWin, ADllBesideTheProgramIsNeverLoaded) {
  TempDirForTests dir;
  const std::wstring folder = Utf8ToWide(dir.path());
  const std::wstring probe = folder + L"zd-probe.exe";
  ASSERT_TRUE(CopyFileW(BesideUs(L"zd_dll_search_probe.exe").c_str(), probe.c_str(), FALSE));
  const wchar_t* const planted[] = {L"winhttp.dll", L"psapi.dll"};
  for (const wchar_t* name : planted)
    ASSERT_TRUE(CopyFileW(BesideUs(L"zd_planted_dll.dll").c_str(), (folder + name).c_str(), FALSE));
  PreferFilesUnderWine(planted);
  // Started there, as from Downloads: its own folder is the current one too.
  ChildProcess child(probe, L"", folder);
  ASSERT_TRUE(child.started());
  DWORD code = 1;
  ASSERT_TRUE(child.WaitForExit(30000, &code));
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\zd-probe.exe");
  EXPECT_EQ(code, 0u) << "WinHTTP and PSAPI came from the system folder";
  for (const wchar_t* name : planted)
    EXPECT_FALSE(PathExists(folder + name + L".loaded")) << WideToUtf8(name);
}

}  // namespace
}  // namespace zd
