// The shell's Recent folder and jump lists through the shell link object and
// structured storage.
#include <windows.h>
// windows.h first
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/com_ptr_win.h"
#include "platform/dest_list.h"
#include "platform/handles_win.h"
#include "platform/recent_items.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

// A list larger than this is no jump list: not read.
constexpr ULONGLONG kMaxDestListBytes = 4 * 1024 * 1024;
constexpr wchar_t kJumpListFolder[] = L"AutomaticDestinations\\";
constexpr wchar_t kJumpListPattern[] = L"*.automaticDestinations-ms";

int64_t UnixSeconds(const FILETIME& time) {
  return FileTimeToUnixSeconds((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

struct Found {
  std::wstring name;
  FILETIME written{};
  uint64_t size = 0;
};

// The files of `folder` that match `pattern`, the newest first.
std::vector<Found> FilesOf(const std::wstring& folder, const wchar_t* pattern) {
  std::vector<Found> found;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileExW((folder + pattern).c_str(), FindExInfoBasic, &data,
                              FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (h == INVALID_HANDLE_VALUE) return found;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    found.push_back({data.cFileName, data.ftLastWriteTime,
                     (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow});
  } while (FindNextFileW(h, &data));
  FindClose(h);
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return CompareFileTime(&a.written, &b.written) > 0;
  });
  return found;
}

// The target as the link stores it: no resolving, which could search the
// disks, ask a server or show a window.
std::string TargetOf(IShellLinkW* link, bool* folder) {
  wchar_t path[MAX_PATH + 1] = {};
  WIN32_FIND_DATAW data{};
  if (link->GetPath(path, MAX_PATH + 1, &data, SLGP_RAWPATH) != S_OK) return {};
  if (folder) *folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return WideToUtf8(path);
}

ComPtr<IShellLinkW> NewShellLink() {
  ComPtr<IShellLinkW> link;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                   link.PutVoid());
  return link;
}

std::optional<std::string> ReadStream(IStorage* storage, const std::wstring& name,
                                      ULONGLONG limit) {
  ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                 stream.Put()))) {
    return std::nullopt;
  }
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > limit) {
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
  ULONG got = 0;
  if (!bytes.empty() &&
      FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got))) {
    return std::nullopt;
  }
  bytes.resize(got);
  return bytes;
}

class ShellRecentItems : public RecentItems {
 public:
  explicit ShellRecentItems(const std::string& recent)
      : recent_(Utf8ToWide(recent) + L"\\"),
        // Made on the thread that uses it: COM for that thread while it lives
        // (a thread that has COM already is counted once more).
        com_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ShellRecentItems() override {
    if (com_) CoUninitialize();
  }
  ShellRecentItems(const ShellRecentItems&) = delete;
  ShellRecentItems& operator=(const ShellRecentItems&) = delete;

  std::string Stamp() override {
    std::string stamp;
    for (const auto& [folder, pattern] : {std::pair{recent_, L"*.lnk"},
                                          std::pair{recent_ + kJumpListFolder, kJumpListPattern}}) {
      for (const Found& f : FilesOf(folder, pattern)) {
        stamp += WideToUtf8(f.name) + '|' + std::to_string(f.written.dwHighDateTime) + '|' +
                 std::to_string(f.written.dwLowDateTime) + '|' + std::to_string(f.size) + '\n';
      }
    }
    return stamp;
  }

  std::vector<RecentLink> RecentLinks(size_t limit) override {
    std::vector<RecentLink> links;
    ComPtr<IShellLinkW> link = NewShellLink();
    ComPtr<IPersistFile> file;
    if (!link || FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return links;
    for (const Found& f : FilesOf(recent_, L"*.lnk")) {
      if (links.size() >= limit) break;
      if (FAILED(file->Load((recent_ + f.name).c_str(), STGM_READ | STGM_SHARE_DENY_NONE))) {
        continue;
      }
      RecentLink found;
      found.target = TargetOf(link.get(), &found.folder);
      found.opened = UnixSeconds(f.written);
      if (!found.target.empty()) links.push_back(std::move(found));
    }
    return links;
  }

  std::vector<JumpListItem> JumpListItems(size_t lists) override {
    std::vector<JumpListItem> items;
    const std::wstring folder = recent_ + kJumpListFolder;
    size_t read = 0;
    for (const Found& f : FilesOf(folder, kJumpListPattern)) {
      if (read++ >= lists) break;
      ReadJumpList(folder + f.name, WideToUtf8(f.name), items);
    }
    return items;
  }

 private:
  // Read-only, letting the shell write it meanwhile; transacted, since a
  // direct-mode open refuses to share.
  // https://learn.microsoft.com/windows/win32/api/coml2api/nf-coml2api-stgopenstorageex
  static void ReadJumpList(const std::wstring& path, const std::string& name,
                           std::vector<JumpListItem>& items) {
    ComPtr<IStorage> storage;
    if (FAILED(StgOpenStorageEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_NONE | STGM_TRANSACTED,
                                STGFMT_STORAGE, 0, nullptr, nullptr, IID_IStorage,
                                storage.PutVoid()))) {
      return;
    }
    const std::optional<std::string> bytes =
        ReadStream(storage.get(), L"DestList", kMaxDestListBytes);
    const std::optional<std::vector<DestListEntry>> entries =
        bytes ? ParseDestList(*bytes) : std::nullopt;
    if (!entries) return;
    ComPtr<IShellLinkW> link = NewShellLink();
    ComPtr<IPersistStream> persist;
    if (link) link->QueryInterface(IID_IPersistStream, persist.PutVoid());
    for (const DestListEntry& entry : *entries) {
      JumpListItem item{entry.path, entry.last_access, entry.pinned, false, name};
      // The entry's link says whether it is a folder, and names the target
      // when the list does not (the list keeps the exact UTF-16 path).
      ComPtr<IStream> stream;
      if (persist &&
          SUCCEEDED(storage->OpenStream(Utf8ToWide(DestListStreamName(entry.stream)).c_str(),
                                        nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                        stream.Put())) &&
          SUCCEEDED(persist->Load(stream.get()))) {
        const std::string target = TargetOf(link.get(), &item.folder);
        if (item.target.empty()) item.target = target;
      }
      if (!item.target.empty()) items.push_back(std::move(item));
    }
  }

  std::wstring recent_;
  bool com_;
};

}  // namespace

std::unique_ptr<RecentItems> MakeSystemRecentItems(const std::string& recent_folder) {
  return std::make_unique<ShellRecentItems>(recent_folder);
}

}  // namespace zd
