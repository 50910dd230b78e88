#include "launch/open_docs.h"

#include <algorithm>

#include "lang/lang_tables.h"
#include "platform/errors.h"
#include "platform/utf8.h"
#include "store/config.h"
#include "tracking/doc_kinds.h"
#include "tracking/node_data.h"

namespace zd {
namespace {

constexpr char kVerbOpen[] = "open";

std::string Backslashed(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

// A drive path or a UNC path: something the local file system answers for.
bool IsLocalPath(std::string_view path) {
  return path.find(':') != std::string_view::npos || path.starts_with("\\\\");
}

// Discovery records the special places' windows with Explorer's own path.
bool IsExplorerProgram(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return LowerAscii(file) == "explorer.exe";
}

}  // namespace

bool IsWebAddress(std::string_view path) {
  const std::string lower = LowerAscii(path);
  return Contains(lower, "http:") || Contains(lower, "https:");
}

bool IsBareAddress(std::string_view path) {
  if (path.empty() || path.front() == '/') return false;
  return std::none_of(path.begin(), path.end(), [](char c) {
    return c == ':' || c == '\\' || static_cast<unsigned char>(c) <= ' ';
  });
}

std::string PathExtension(std::string_view path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  if (path.find_first_of("\\:", dot) != std::string_view::npos) return {};
  return std::string(path.substr(dot));
}

std::string ContainingFolder(std::string_view path) {
  const size_t end = path.find_last_of("\\:");
  return end == std::string_view::npos ? std::string() : std::string(path.substr(0, end + 1));
}

std::string FolderPathToOpen(std::string_view path) {
  std::string folder = Trim(path);
  if (folder.empty()) return folder;
  // Collapsing the runs of "\" must not turn \\server\share into \server\share.
  const bool unc = folder.starts_with("\\\\");
  if (unc) folder.erase(0, 2);
  NormalizeDirPath(folder);
  return unc ? "\\\\" + folder : folder;
}

DocOpener::DocOpener(ShellLauncher& shell, DocList& recent, OpenHooks hooks)
    : shell_(shell), recent_(recent), hooks_(std::move(hooks)) {}

void DocOpener::Message(const std::string& text) {
  if (hooks_.message) hooks_.message(text);
}

void DocOpener::Hint(const std::string& path) {
  if (hooks_.show_hint) hooks_.show_hint(path);
}

void DocOpener::OpenDocPath(const std::string& path, bool report) noexcept {
  try {
    if (Trim(path).empty()) return;  // nothing to open, not even "http://"
    if (IsBareAddress(path)) {
      const std::string address = lang::FormatText(lang::Texts().BareAddressFormat, path);
      Message(address);
      shell_.Execute({kVerbOpen, address, "", ShowMode::kNormal});
      return;
    }
    const std::string probe = Backslashed(path);
    const bool folder = shell_.DirectoryExists(probe);
    if (!IsWebAddress(path) && !folder && !shell_.FileExists(probe)) {
      if (report) Message(lang::FormatText(lang::Texts().PathNotExists, path));
      return;
    }
    shell_.Execute({kVerbOpen, folder ? FolderPathToOpen(path) : path, "", ShowMode::kNormal});
  }
  ZD_CATCH_LOG(__func__)
}

bool DocOpener::OpenSpecialPlace(const std::string& path, const std::string& name) {
  if (name != kPlaceMyComputer && name != kPlaceDesktop && name != kPlaceNetwork &&
      name != kPlaceControlPanel) {
    return false;
  }
  // A document of its own that merely carries the name (a program window
  // titled "控制面板", say) opens as itself.
  if (IsWebAddress(path) || (shell_.FileExists(path) && !IsExplorerProgram(path))) return false;
  // System programs by their full path: a file of that name in the current
  // folder or on the search path is never started instead.
  if (name == kPlaceMyComputer) {
    const std::string windows = shell_.WindowsDirectory();
    if (!windows.empty()) {
      shell_.Execute(
          {kVerbOpen, windows + "\\explorer.exe", kMyComputerParameters, ShowMode::kShow});
    }
  } else if (name == kPlaceDesktop) {
    shell_.MinimizeAll();
  } else if (name == kPlaceNetwork) {
    shell_.OpenSpecialFolder(kCsidlNetwork);
  } else {
    const std::string system = shell_.SystemDirectory();
    if (!system.empty()) {
      shell_.StartCommandLine("\"" + system + "\\rundll32.exe\" shell32.dll,Control_RunDLL",
                              ShowMode::kRestore);
    }
  }
  return true;
}

void DocOpener::OpenAndRecordDoc(const std::string& path, const std::string& name) noexcept {
  try {
    if (path.empty()) return;
    if (OpenSpecialPlace(path, name)) return;
    const std::string lower = LowerAscii(path);
    const std::string ext = PathExtension(path);
    std::string recorded = path;
    if (Contains(lower, "http://") || Contains(lower, "https://")) {
      shell_.Execute({kVerbOpen, path, "", ShowMode::kNormal});
    } else if (Contains(lower, "res://")) {
      // The browser's own resource pages are not opened, only remembered.
    } else if (ext.empty() && IsLocalPath(path)) {
      if (shell_.DirectoryExists(path)) {
        recorded = FolderPathToOpen(path);
        shell_.Execute({kVerbOpen, recorded, "", ShowMode::kNormal});
      } else if (shell_.FileExists(path)) {
        // A file without an extension is still a file, not a vanished folder.
        shell_.Execute({kVerbOpen, path, "", ShowMode::kNormal});
      } else {
        Message(lang::FormatText(lang::Texts().FolderGoneFormat, path));
        return;
      }
    } else if (ext == ".lnk") {
      shell_.Execute({"", path, "", ShowMode::kNormal});
    } else {
      shell_.Execute({kVerbOpen, path, "", ShowMode::kNormal});
    }
    Record(recorded, name);
  }
  ZD_CATCH_LOG(__func__)
}

void DocOpener::Record(const std::string& path, const std::string& name) {
  if (IsInRecentList(recent_, path)) return;
  recent_.InsertTop(MakeDocLine(path, name));
}

void DocOpener::OpenListSelection(const DocList& list, std::optional<size_t> current_row) noexcept {
  try {
    if (!current_row || *current_row >= list.size()) return;
    TMyDocObj doc;
    if (!ListLineSplit(list.Lines()[*current_row], doc)) return;
    std::string path = doc.path;
    if (Contains(path, kFilePrefix)) path = Backslashed(StripFilePrefix(path));
    OpenAndRecordDoc(path, doc.name);
  }
  ZD_CATCH_LOG(__func__)
}

void DocOpener::OpenSelectedTreeDoc(const TreeNode* node, const DocArray& docs) noexcept {
  try {
    if (!node) return;
    const std::optional<std::string> path = GetNodeDocPath(node, docs);
    if (!path) return;
    Hint(*path);
    OpenAndRecordDoc(*path, node->caption);
  }
  ZD_CATCH_LOG(__func__)
}

void DocOpener::OpenFolderNode(const TreeNode* node) noexcept {
  try {
    if (!node) return;
    if (shell_.DirectoryExists(node->caption)) {
      shell_.Execute({kVerbOpen, node->caption, "", ShowMode::kNormal});
    } else {
      Message(lang::Texts().FolderNodeGone);
    }
  }
  ZD_CATCH_LOG(__func__)
}

void DocOpener::OpenContainingFolder(const TreeNode* node, const DocArray& docs) noexcept {
  try {
    if (!node) return;
    const std::optional<std::string> path = GetNodeDocPath(node, docs);
    if (!path) return;
    Hint(*path);
    OpenDocPath(ContainingFolder(*path), false);
  }
  ZD_CATCH_LOG(__func__)
}

void DocOpener::OpenSpecialFolder(int csidl) noexcept {
  try {
    shell_.OpenSpecialFolder(csidl);
  }
  ZD_CATCH_LOG(__func__)
}

void DocOpener::OpenInBrowser(const std::string& address) noexcept {
  try {
    const std::string full = Contains(address, "://") ? address : "http://" + address;
    shell_.Execute({kVerbOpen, "IExplore", full, ShowMode::kNormal});
  }
  ZD_CATCH_LOG(__func__)
}

}  // namespace zd
