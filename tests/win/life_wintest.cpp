// The program's whole life under Wine, as a user lives it: the setup installs
// it; started with a dead server and a live one on 127.0.0.1, it offers the
// newer version, downloads and checks it, saves, closes and starts it; a
// tampered setup is refused and deleted; "zapdock.exe uninstall" removes what
// the setup made, and the program's folder is gone afterwards.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>

#include "lang/service_texts.h"
#include "mainwin/main_window_win.h"
#include "online/online_names.h"
#include "online/update_signing_for_tests.h"
#include "online/update_window_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"
#include "tests/win/update_server_env.h"
#include "uninstall/uninstall_window_win.h"

namespace zd {
namespace {

constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zapdock";

std::wstring BesideUs(const wchar_t* name) {
  const std::wstring own = OwnExePath();
  return own.substr(0, own.find_last_of(L'\\') + 1) + name;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(WideToUtf8(path).c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring ReadValue(HKEY root, const wchar_t* key, const wchar_t* name) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
    return L"";
  }
  return data;
}

std::string UserFolderPath(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return WideToUtf8(path);
}

// Waits for the program's message box and answers it; returns its text.
std::string Answer(const ChildProcess& program, int button) {
  HWND box = WaitForMessageBox(program.pid(), 60000);
  if (!box) return "(no message box)";
  const std::string text = MessageBoxText(box);
  PressButton(box, button);
  // Gone before the next one is looked for.
  for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(50);
  return text;
}

bool WaitForVersion(const std::wstring& version, DWORD ms) {
  for (DWORD waited = 0; waited <= ms; waited += 200) {
    if (ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion") == version) return true;
    Sleep(200);
  }
  return false;
}

TEST(LifeWithServer, InstallUpdateRefuseATamperedSetupAndUninstall) {
  const UpdateServerEnv env = UpdateServerEnv::Get();
  ZD_REQUIRE_UPDATE_SERVER(env);
  if (std::string(ZD_TEST_UPDATE_SEED).empty()) GTEST_SKIP() << "release key: no test signatures";
  const lang::ServiceTexts& texts = lang::ServiceTextsFor(0);
  const TestSigner signer(ZD_TEST_UPDATE_SEED);
  ASSERT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"")
      << "a fresh prefix";

  // Install.
  {
    ChildProcess setup(BesideUs(L"setupZD.exe"), L"/S");
    DWORD code = 1;
    ASSERT_TRUE(setup.WaitForExit(120000, &code));
    ASSERT_EQ(code, 0u);
  }
  ASSERT_TRUE(WaitForVersion(L"3.5", 1000));
  const std::wstring uninstall_string =
      ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString");
  ASSERT_TRUE(uninstall_string.ends_with(L"\\zapdock.exe\" uninstall"))
      << WideToUtf8(uninstall_string);
  const std::wstring exe = uninstall_string.substr(1, uninstall_string.find(L'"', 1) - 1);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  const std::string desktop_link =
      UserFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\MRX软件\\Zapdock.lnk";
  const std::string programs_link = UserFolderPath(CSIDL_PROGRAMS) + "\\MRX软件\\Zapdock.lnk";
  ASSERT_TRUE(PathExists(exe));
  ASSERT_TRUE(PathExists(Utf8ToWide(desktop_link)));
  ASSERT_TRUE(PathExists(Utf8ToWide(programs_link)));

  // The vendor's server offers 3.6: the silent test setup, signed.
  const std::string newer = ReadFileBytes(BesideUs(L"setupZD-3.6-silent.exe"));
  ASSERT_GT(newer.size(), 100000u);
  ASSERT_TRUE(env.Put("vazozod/VAROV3.5.htm", signer.Page(kServerSignature, "3.6", newer)));
  ASSERT_TRUE(env.Put("vazozod/update/zd/setupZD.exe", newer));
  const std::wstring servers = L"--servers=http://127.0.0.1:1/," + Utf8ToWide(env.url);
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring download = std::wstring(temp) + L"setupZD.exe";

  // Update: asked once, downloaded, checked, saved, closed, started.
  {
    ChildProcess program(exe, servers);
    ASSERT_NE(WaitForWindow(program.pid(), TFrmMain::kClassName, 30000), nullptr);
    EXPECT_EQ(Answer(program, IDYES), texts.UpdateQuestion);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(60000, &code)) << "the program closes for its setup";
    EXPECT_EQ(code, 0u);
  }
  EXPECT_TRUE(WaitForVersion(L"3.6", 60000)) << "the newer setup ran";
  EXPECT_TRUE(PathExists(L"D:\\MrxConfig\\defualt.ini")) << "saved as at a normal close";

  // A tampered setup: refused with the download message, and deleted.
  std::string tampered = newer;
  tampered[tampered.size() / 2] ^= 0x20;
  ASSERT_TRUE(env.Put("vazozod/VAROV3.5.htm", signer.Page(kServerSignature, "3.7", newer)));
  ASSERT_TRUE(env.Put("vazozod/update/zd/setupZD.exe", tampered));
  {
    ChildProcess program(exe, servers);
    const HWND main_window = WaitForWindow(program.pid(), TFrmMain::kClassName, 30000);
    ASSERT_NE(main_window, nullptr);
    EXPECT_EQ(Answer(program, IDYES), texts.UpdateQuestion);
    EXPECT_EQ(Answer(program, IDOK), texts.UpdateCheckFailed);
    EXPECT_TRUE(WaitUntilGone(download, 5000)) << "the refused file is deleted";
    EXPECT_TRUE(IsWindow(main_window)) << "the program keeps running";
    PostMessageW(main_window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(30000));
  }
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"3.6");

  // Uninstall, as Programs and Features starts it.
  {
    ChildProcess uninstall(exe, L"uninstall");
    const HWND window = WaitForWindow(uninstall.pid(), TFrmUninstall::kClassName, 30000);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(TFrmUninstall::kBtnStartUnstall, BN_CLICKED), 0);
    EXPECT_EQ(Answer(uninstall, IDOK), "你已成功卸载『Zapdock』");
    EXPECT_TRUE(uninstall.WaitForExit(30000));
  }
  EXPECT_TRUE(WaitUntilGone(exe, 40000));
  EXPECT_TRUE(WaitUntilGone(folder, 10000));
  EXPECT_FALSE(PathExists(Utf8ToWide(desktop_link)));
  EXPECT_FALSE(PathExists(Utf8ToWide(programs_link)));
  EXPECT_FALSE(PathExists(Utf8ToWide(UserFolderPath(CSIDL_PROGRAMS) + "\\MRX软件")));
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"");
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VazOzod\\VAROV", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_TRUE(PathExists(L"D:\\MrxConfig\\defualt.ini")) << "nothing left but the configuration";
}

}  // namespace
}  // namespace zd
