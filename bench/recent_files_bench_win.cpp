// The costs of the files opened in other programs, under Wine, on a Recent
// folder of 500 links and 50 jump lists (20 entries each) written here as
// the shell writes them:
//   (a) a refresh with nothing changed: the reader's round trip, which only
//       compares the stamp (the folder's and the lists' times and sizes),
//       beside the bare listing of the two folders with FindFirstFileW;
//   (b) the whole read on the worker: 500 links (IShellLinkW, IPersistFile,
//       GetPath) and 50 jump lists (structured storage, a link per stream,
//       the DestList), merged; the reader's round trip after a change, and
//       the same calls made directly.
// Each figure is the median of its rounds, in milliseconds.
#include <windows.h>
// windows.h first
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/com_ptr_win.h"
#include "platform/dest_list.h"
#include "platform/dest_list_for_tests.h"
#include "platform/recent_items.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"
#include "tracking/recent_reader.h"

using namespace zd;

namespace {

constexpr int kLinks = 500;
constexpr int kLists = 50;
constexpr int kEntries = 20;

bool SaveLink(const std::string& target, IPersistFile** file, IPersistStream** stream) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.PutVoid())))
    return false;
  link->SetPath(Utf8ToWide(target).c_str());
  if (file)
    return SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file)));
  return SUCCEEDED(link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(stream)));
}

std::string Target(int list, int entry) {
  return "C:\\资料" + std::to_string(list % 20) + "\\项目" + std::to_string(list) + "\\报告 " +
         std::to_string(entry) + ".docx";
}

bool WriteRecentFolder(const std::string& recent) {
  CreateDirectoryW(Utf8ToWide(recent).c_str(), nullptr);
  CreateDirectoryW(Utf8ToWide(recent + "\\AutomaticDestinations").c_str(), nullptr);
  for (int i = 0; i < kLinks; ++i) {
    IPersistFile* file = nullptr;
    if (!SaveLink(Target(i % 97, i), &file, nullptr)) return false;
    const std::wstring path = Utf8ToWide(recent + "\\报告 " + std::to_string(i) + ".docx.lnk");
    const bool saved = SUCCEEDED(file->Save(path.c_str(), TRUE));
    file->Release();
    if (!saved) return false;
  }
  for (int l = 0; l < kLists; ++l) {
    char name[64];
    std::snprintf(name, sizeof name, "%016x.automaticDestinations-ms", 0x5f7b0000 + l);
    ComPtr<IStorage> storage;
    if (FAILED(StgCreateStorageEx(Utf8ToWide(recent + "\\AutomaticDestinations\\" + name).c_str(),
                                  STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                  STGFMT_STORAGE, 0, nullptr, nullptr, IID_IStorage,
                                  storage.PutVoid())))
      return false;
    std::vector<testing::RawEntry> entries;
    for (int e = 0; e < kEntries; ++e) {
      const uint32_t id = static_cast<uint32_t>(e + 1);
      ComPtr<IStream> stream;
      if (FAILED(storage->CreateStream(Utf8ToWide(DestListStreamName(id)).c_str(),
                                       STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                       stream.Put())))
        return false;
      IPersistStream* persist = nullptr;
      const std::string target = Target(l, e);
      if (!SaveLink(target, nullptr, &persist)) return false;
      const bool saved = SUCCEEDED(persist->Save(stream.get(), TRUE));
      persist->Release();
      if (!saved) return false;
      std::u16string path;
      for (wchar_t c : Utf8ToWide(target)) path += static_cast<char16_t>(c);
      entries.push_back({id, testing::FileTimeOf(1700000000 + l * 100 + e), e == 0, path});
    }
    const std::string bytes = testing::DestListBytes(3, entries);
    ComPtr<IStream> dest;
    ULONG written = 0;
    if (FAILED(storage->CreateStream(L"DestList", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE,
                                     0, 0, dest.Put())) ||
        FAILED(dest->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) ||
        FAILED(storage->Commit(STGC_DEFAULT)))
      return false;
  }
  return true;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double TimeMs(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

size_t ListFolder(const std::wstring& pattern) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  size_t count = 0;
  if (find == INVALID_HANDLE_VALUE) return 0;
  do ++count;
  while (FindNextFileW(find, &data));
  FindClose(find);
  return count;
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  TempDirForTests dir;
  const std::string recent = dir.File("Recent");
  if (!WriteRecentFolder(recent)) {
    std::printf("could not write the Recent folder\n");
    return 1;
  }
  RecentReader reader([recent] { return MakeSystemRecentItems(recent); }, [] {});
  reader.Request();
  reader.WaitIdle();
  const size_t found = reader.Take().value_or(std::vector<RecentFile>{}).size();

  // (a) Nothing changed: the stamp only.
  std::vector<double> unchanged, listing;
  for (int i = 0; i < 200; ++i) {
    unchanged.push_back(TimeMs([&] {
      reader.Request();
      reader.WaitIdle();
    }));
    listing.push_back(TimeMs([&] {
      ListFolder(Utf8ToWide(recent + "\\*"));
      ListFolder(Utf8ToWide(recent + "\\AutomaticDestinations\\*"));
    }));
  }
  std::printf(
      "unchanged refresh (reader round trip, stamp only): %.3f ms; bare listing of the "
      "two folders: %.3f ms; ratio %.2f; whole reads %d (1 expected)\n",
      Median(unchanged), Median(listing), Median(unchanged) / Median(listing), reader.reads());

  // (b) The whole read: after a change through the reader, and the calls made here.
  std::vector<double> through_reader, direct;
  size_t links = 0, items = 0, merged = 0;
  for (int round = 0; round < 7; ++round) {
    const std::wstring touched = Utf8ToWide(recent + "\\报告 0.docx.lnk");
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    HANDLE h = CreateFileW(touched.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    now.dwLowDateTime += static_cast<DWORD>(round + 1) * 10000000u;
    SetFileTime(h, nullptr, nullptr, &now);
    CloseHandle(h);
    through_reader.push_back(TimeMs([&] {
      reader.Request();
      reader.WaitIdle();
    }));
    direct.push_back(TimeMs([&] {
      const auto shell = MakeSystemRecentItems(recent);
      const std::vector<RecentLink> l = shell->RecentLinks(kLinks);
      const std::vector<JumpListItem> j = shell->JumpListItems(kLists);
      merged = MergeRecent(l, j).size();
      links = l.size();
      items = j.size();
    }));
  }
  std::printf(
      "whole read of %zu links and %zu jump-list entries (%d lists) into %zu files: "
      "through the reader %.1f ms, direct %.1f ms; first read found %zu\n",
      links, items, kLists, merged, Median(through_reader), Median(direct), found);
  CoUninitialize();
  return 0;
}
