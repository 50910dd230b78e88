// The Win32 side of the interfaces the uninstall mode and the update use:
// registry keys, file removal, shell folders, processes and held files.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include "online/update_check.h"
#include "platform/file_removal.h"
#include "platform/held_file.h"
#include "platform/processes.h"
#include "platform/registry_keys.h"
#include "platform/shell_folders.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/utf8.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"

namespace zd {
namespace {

constexpr char kTestKey[] = "Software\\ZapdockTests\\RegistryKeys";

void SetString(HKEY root, const std::string& key, const std::string& name) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, Utf8ToWide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &h, nullptr),
            ERROR_SUCCESS);
  const wchar_t data[] = L"x";
  RegSetValueExW(h, Utf8ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                 sizeof(data));
  RegCloseKey(h);
}

TEST(RegistryKeysWin, RemovalSaysWhatWasThere) {
  auto reg = MakeSystemRegistryKeys();
  const std::string key = std::string(kTestKey) + "\\Sub";
  SetString(HKEY_CURRENT_USER, key + "\\Deeper", "v");
  SetString(HKEY_CURRENT_USER, key, "名字");
  EXPECT_TRUE(reg->KeyExists(RegRoot::kCurrentUser, key));
  EXPECT_TRUE(reg->ValueExists(RegRoot::kCurrentUser, key, "名字"));
  EXPECT_FALSE(reg->ValueExists(RegRoot::kCurrentUser, key, "other"));
  EXPECT_TRUE(reg->CanWrite(RegRoot::kCurrentUser, key));
  EXPECT_TRUE(reg->CanWrite(RegRoot::kCurrentUser, key + "\\Not\\There")) << "a parent is writable";
  EXPECT_EQ(reg->DeleteValue(RegRoot::kCurrentUser, key, "名字"), Removal::kRemoved);
  EXPECT_EQ(reg->DeleteValue(RegRoot::kCurrentUser, key, "名字"), Removal::kAbsent);
  EXPECT_EQ(reg->DeleteValue(RegRoot::kCurrentUser, key + "\\None", "v"), Removal::kAbsent);
  EXPECT_EQ(reg->DeleteKeyTree(RegRoot::kCurrentUser, key), Removal::kRemoved);
  EXPECT_FALSE(reg->KeyExists(RegRoot::kCurrentUser, key + "\\Deeper"));
  EXPECT_EQ(reg->DeleteKeyTree(RegRoot::kCurrentUser, key), Removal::kAbsent);
  // The same calls reach the machine's hive.
  SetString(HKEY_LOCAL_MACHINE, kTestKey, "m");
  EXPECT_EQ(reg->DeleteKeyTree(RegRoot::kLocalMachine, kTestKey), Removal::kRemoved);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZapdockTests");
}

TEST(FileRemovalWin, FilesFoldersAndShortNames) {
  auto removal = MakeSystemFileRemoval();
  TempDirForTests dir;
  const std::string file = dir.File("只读 file.txt");
  HANDLE h = CreateFileW(Utf8ToWide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_READONLY, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  const std::string folder = dir.File("group");
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder + "\\inner").c_str(), nullptr));
  EXPECT_TRUE(removal->CanWriteIn(dir.path()));
  EXPECT_FALSE(removal->CanWriteIn(dir.File("missing")));
  EXPECT_EQ(dir.Entries().size(), 2u) << "the probe leaves nothing";
  EXPECT_EQ(removal->RemoveFile(file), Removal::kRemoved) << "read-only is no obstacle";
  EXPECT_EQ(removal->RemoveFile(file), Removal::kAbsent);
  EXPECT_EQ(removal->RemoveEmptyFolder(folder), Removal::kNotEmpty);
  EXPECT_EQ(removal->RemoveEmptyFolder(folder + "\\inner\\"), Removal::kRemoved);
  EXPECT_EQ(removal->RemoveEmptyFolder(folder), Removal::kRemoved);
  EXPECT_EQ(removal->RemoveEmptyFolder(folder), Removal::kAbsent);
  // A file in use cannot be removed, and says so.
  const std::string busy = dir.File("busy.txt");
  HANDLE held =
      CreateFileW(Utf8ToWide(busy).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(removal->RemoveFile(busy), Removal::kFailed);
  CloseHandle(held);
  // Short names: an 8.3 name that reaches the same file.
  const std::string long_name = dir.File("A long name 带中文.txt");
  CloseHandle(CreateFileW(Utf8ToWide(long_name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                          nullptr));
  const std::string short_name = removal->ShortPath(long_name);
  EXPECT_NE(short_name, long_name);
  for (char c : short_name) EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << short_name;
  EXPECT_TRUE(PathExists(Utf8ToWide(short_name)));
  EXPECT_EQ(removal->ShortPath(dir.File("none.txt")), dir.File("none.txt"));
}

TEST(ShellFoldersWin, UserFoldersAndTemporaryFiles) {
  auto folders = MakeSystemShellFolders();
  for (UserFolder kind : {UserFolder::kDesktop, UserFolder::kStartMenu, UserFolder::kPrograms,
                          UserFolder::kStartup}) {
    const std::optional<std::string> path = folders->Folder(kind);
    ASSERT_TRUE(path) << static_cast<int>(kind);
    EXPECT_NE(path->back(), '\\');
  }
  EXPECT_EQ(
      folders->Folder(UserFolder::kPrograms)->rfind(*folders->Folder(UserFolder::kStartMenu), 0),
      0u)
      << "Programs lies in the Start menu";
  const std::string temp = folders->TempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  // Folders made for one use: new each time, empty, and a file in one is
  // written only where none stands (what Wine cannot show: their ACL).
  const std::optional<std::string> a = folders->NewPrivateFolder(temp, "zdt-"),
                                   b = folders->NewPrivateFolder(temp, "zdt-");
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_EQ(a->rfind(temp + "zdt-", 0), 0u) << *a;
  EXPECT_EQ(a->size(), temp.size() + 4 + 16 + 1) << *a;
  EXPECT_EQ(a->back(), '\\');
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(*a).c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  const std::string file = *a + "x.bat";
  EXPECT_TRUE(folders->WriteNewFile(file, "@echo off\r\n"));
  EXPECT_FALSE(folders->WriteNewFile(file, "other")) << "never over a file that stands";
  DeleteFileW(Utf8ToWide(file).c_str());
  RemoveDirectoryW(Utf8ToWide(*a).c_str());
  RemoveDirectoryW(Utf8ToWide(*b).c_str());
  // The Windows folder's own temporary folder.
  wchar_t windows[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_WINDOWS, nullptr, 0, windows)));
  EXPECT_TRUE(
      EqualsIgnoringAsciiCase(folders->SystemTempFolder(), WideToUtf8(windows) + "\\Temp\\"))
      << folders->SystemTempFolder();
}

// Copies the window helper to `path` and starts it there with one hidden window.
struct HelperCopy {
  std::wstring exe;
  std::unique_ptr<ChildProcess> process;
  HelperCopy(const std::string& path, const std::wstring& title) : exe(Utf8ToWide(path)) {
    CopyFileW(HelperExePath().c_str(), exe.c_str(), FALSE);
    process = std::make_unique<ChildProcess>(exe, L"\"hidden:" + title + L"\"");
  }
};

TEST(ProcessesWin, OnlyProcessesStartedFromTheTargetAreEnded) {
  TempDirForTests a, b;
  const std::string folder = a.File("A Long Folder Name");
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr));
  const std::string target = folder + "\\setupZD.exe";
  HelperCopy at_target(target, L"target");
  HelperCopy same_name(b.File("setupZD.exe"), L"same name");
  ASSERT_TRUE(at_target.process->started() && same_name.process->started());
  auto processes = MakeSystemProcesses();
  const auto long_path = [&](const std::string& p) { return processes->LongPath(p); };
  // The target as a temporary folder in 8.3 form names it.
  const std::string short_target = MakeSystemFileRemoval()->ShortPath(target);
  EXPECT_NE(short_target, target);
  EXPECT_EQ(long_path(short_target), target);
  for (const std::string& given : {short_target, target}) {
    EXPECT_EQ(
        ProcessesStartedFrom(processes->List(), given, processes->CurrentProcessId(), long_path),
        std::vector<uint32_t>{at_target.process->pid()})
        << given;
  }
  const std::vector<uint32_t> found =
      ProcessesStartedFrom(processes->List(), target, processes->CurrentProcessId(), long_path);
  for (uint32_t pid : found) EXPECT_TRUE(processes->Terminate(pid, 0));
  EXPECT_TRUE(at_target.process->WaitForExit(5000));
  EXPECT_FALSE(same_name.process->WaitForExit(200)) << "a namesake elsewhere keeps running";
  EXPECT_TRUE(processes->Terminate(same_name.process->pid(), 0));
  // Our own process is listed with its full path.
  bool self = false;
  for (const ProcessEntry& p : processes->List())
    self |= p.pid == GetCurrentProcessId() && SamePath(p.image_path, OwnExePath());
  EXPECT_TRUE(self);
}

TEST(HeldFileWin, AProgramStartsFromTheSealedFileThatNobodyCanChange) {
  TempDirForTests dir;
  auto files = MakeSystemHeldFiles();
  const std::string path = dir.File("setupZD.exe");
  std::unique_ptr<HeldFile> held = files->Create(path);
  ASSERT_NE(held, nullptr);
  // The helper program's bytes, written as a download would.
  HANDLE src = CreateFileW(HelperExePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(src, INVALID_HANDLE_VALUE);
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(src, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    ASSERT_TRUE(held->Write(std::string_view(buffer, got)));
  }
  CloseHandle(src);
  EXPECT_EQ(files->Create(path), nullptr) << "a second writer is refused";
  ASSERT_TRUE(held->Seal());
  EXPECT_FALSE(held->Write("more")) << "sealed";
  HANDLE writer = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_FALSE(MoveFileW(Utf8ToWide(path).c_str(), Utf8ToWide(dir.File("moved.exe")).c_str()));
  {
    ChildProcess started(Utf8ToWide(path), L"\"normal:from held file\"");
    EXPECT_TRUE(started.started()) << GetLastError();
    EXPECT_NE(WaitForWindow(started.pid(), kHelperClass, 10000), nullptr) << "it runs";
    auto processes = MakeSystemProcesses();
    processes->Terminate(started.pid(), 0);
  }
  EXPECT_TRUE(held->Discard());
  EXPECT_FALSE(PathExists(Utf8ToWide(path)));
}

}  // namespace
}  // namespace zd
