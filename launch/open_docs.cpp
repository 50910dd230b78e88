#include "launch/open_docs.h"

#include <algorithm>

#include "lang/lang_tables.h"
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

// Discovery records the special places' windows with Explorer's own path.
bool IsExplorerProgram(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return LowerAscii(file) == "explorer.exe";
}

}  // namespace

bool IsLocalDocPath(std::string_view path) { return !DriveRootOf(path).empty() || IsUncPath(path); }

bool IsAbsolutePath(std::string_view path) {
  if (IsUncPath(path)) return true;
  if (DriveRootOf(path).empty()) return false;
  if (path.starts_with("\\\\?\\")) path.remove_prefix(4);
  return path.size() > 2 && (path[2] == '\\' || path[2] == '/');
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

bool DocOpener::OpenDocPath(const std::string& path, bool report) {
  if (Trim(path).empty()) return false;  // nothing to open, not even "http://"
  if (IsBareAddress(path)) {
    const std::string address = lang::FormatText(lang::Texts().BareAddressFormat, path);
    Message(address);
    return shell_.Execute({kVerbOpen, address, "", ShowMode::kNormal});
  }
  if (IsWebAddress(path)) return shell_.Execute({kVerbOpen, path, "", ShowMode::kNormal});
  switch (shell_.QueryPath(Backslashed(path))) {
    case PathAnswer::kFolder:
      return shell_.Execute({kVerbOpen, FolderPathToOpen(path), "", ShowMode::kNormal});
    case PathAnswer::kNotFound:
      if (report) Message(lang::FormatText(lang::Texts().PathNotExists, path));
      return false;
    default:
      // A file, or a path that could not be asked about (a network path,
      // a drive not ready): the shell says what it can do with it.
      return shell_.Execute({kVerbOpen, path, "", ShowMode::kNormal});
  }
}

bool DocOpener::OpenRememberedDoc(const std::string& path, const std::string& name, bool report) {
  if (!OpenDocPath(path, report)) return false;
  Record(path, name);
  return true;
}

bool DocOpener::OpenSpecialPlace(const std::string& path, const std::string& name) {
  if (name != kPlaceMyComputer && name != kPlaceDesktop && name != kPlaceNetwork &&
      name != kPlaceControlPanel) {
    return false;
  }
  // Only a record of the place itself (discovery records the places'
  // windows with Explorer's path) or one without a path: a folder, a file or
  // a page that merely carries the name opens as itself.
  if (!Trim(path).empty() && !IsExplorerProgram(Trim(path))) return false;
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

std::optional<std::pair<bool, std::string>> DocOpener::OpenLocalDoc(const std::string& path,
                                                                    const std::string& verb) {
  switch (shell_.QueryPath(path)) {
    case PathAnswer::kNotFound:
      // A file or a folder alike: opening it would only show the shell's error.
      Message(lang::FormatText(lang::Texts().FolderGoneFormat, path));
      return std::nullopt;
    case PathAnswer::kFolder: {
      const std::string folder = FolderPathToOpen(path);
      return std::make_pair(shell_.Execute({kVerbOpen, folder, "", ShowMode::kNormal}), folder);
    }
    default:
      return std::make_pair(shell_.Execute({verb, path, "", ShowMode::kNormal}), path);
  }
}

void DocOpener::OpenAndRecordDoc(const std::string& path, const std::string& name) {
  if (OpenSpecialPlace(path, name)) return;
  if (path.empty()) return;
  // A shortcut written ".lnk" opens with its default verb, any other file with "open".
  const std::string verb = PathExtension(path) == ".lnk" ? "" : kVerbOpen;
  bool opened = false;
  std::string recorded = path;
  if (AfterScheme(path, "http://") || AfterScheme(path, "https://")) {
    opened = shell_.Execute({kVerbOpen, path, "", ShowMode::kNormal});
  } else if (IsResourceAddress(path)) {
    // The browser's own resource pages are not opened, so not recorded either.
  } else if (IsLocalDocPath(path)) {
    const auto local = OpenLocalDoc(path, verb);
    if (!local) return;
    opened = local->first;
    recorded = local->second;
  } else {
    opened = shell_.Execute({verb, path, "", ShowMode::kNormal});
  }
  // What the shell could not open is not a recently used document.
  if (opened) Record(recorded, name);
}

void DocOpener::Record(const std::string& path, const std::string& name) {
  if (hooks_.admit) {
    FoundDoc doc{path, name, "", IsWebAddress(path) ? DocKind::kWeb : DocKind::kProgram};
    // A document the rules would change is not the one opened: left out.
    if (!hooks_.admit(doc) || doc.address != path || doc.name != name) return;
  }
  MoveToTopOfRecent(recent_, path, name);
}

void DocOpener::OpenListSelection(const DocList& list, std::optional<size_t> current_row) {
  if (!current_row || *current_row >= list.size()) return;
  DocLine doc;
  if (!ListLineSplit(list.Lines()[*current_row], doc)) return;
  std::string path = doc.path;
  if (IsFileAddress(path)) path = Backslashed(StripFilePrefix(path));
  OpenAndRecordDoc(path, doc.name);
}

void DocOpener::OpenSelectedTreeDoc(const TreeNode* node, const DocArray& docs) {
  if (!node) return;
  const std::optional<std::string> path = GetNodeDocPath(node, docs);
  if (!path) return;
  Hint(*path);
  OpenAndRecordDoc(*path, node->caption);
}

void DocOpener::OpenFolderNode(const TreeNode* node) {
  if (!node) return;
  const PathAnswer answer = shell_.QueryPath(node->caption);
  if (answer == PathAnswer::kNotFound || answer == PathAnswer::kFile) {
    Message(lang::Texts().FolderNodeGone);
  } else {
    shell_.Execute({kVerbOpen, node->caption, "", ShowMode::kNormal});
  }
}

void DocOpener::OpenContainingFolder(const TreeNode* node, const DocArray& docs) {
  if (!node) return;
  const std::optional<std::string> path = GetNodeDocPath(node, docs);
  if (!path) return;
  Hint(*path);
  OpenDocPath(ContainingFolder(*path), false);
}

void DocOpener::OpenSpecialFolder(int csidl) { shell_.OpenSpecialFolder(csidl); }

void DocOpener::OpenInBrowser(const std::string& address) {
  const std::string full = UrlScheme(address).empty() ? "http://" + address : address;
  shell_.Execute({kVerbOpen, "IExplore", full, ShowMode::kNormal});
}

}  // namespace zd
