// The open operations every reopening goes through: they decide by the form
// of a path what to hand to the shell, and record opened documents at the
// top of the recent list. Interface thread only; nothing waits for what the
// shell starts.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/shell_launcher.h"
#include "store/doc.h"
#include "store/doc_list.h"
#include "tracking/found_doc.h"
#include "tracking/tree_model.h"

namespace zd {

// Display names of the special places, fixed whatever the interface language.
inline constexpr char kPlaceMyComputer[] = "我的电脑";
inline constexpr char kPlaceDesktop[] = "桌面";
inline constexpr char kPlaceNetwork[] = "网上邻居";
inline constexpr char kPlaceControlPanel[] = "控制面板";
inline constexpr char kMyComputerParameters[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

struct OpenHooks {
  // The plain message box: the application title as caption, one OK button.
  // It returns when the box is closed.
  std::function<void(const std::string& text)> message;
  // Shows a document path in LblHint.
  std::function<void(const std::string& path)> show_hint;
  // The recording gate: an opened document goes to the top of the recent
  // list only when it lets it through unchanged. Unset: always.
  std::function<bool(FoundDoc&)> admit;
};

class DocOpener {
 public:
  // `recent` is MyRecentList (with LbMyRecent as its mirror).
  DocOpener(ShellLauncher& shell, DocList& recent, OpenHooks hooks);

  // Opens a path that still exists (a missing one: the path-missing message
  // when `report` is set; a network path is not asked about and goes to the
  // shell), an http(s) address, or a bare host name as "http://" + host after
  // showing that address. Records nothing; true when the shell opened it.
  bool OpenDocPath(const std::string& path, bool report);
  // OpenDocPath for a document the program remembers (a search result, a
  // recent entry of the tray menu): once opened, it stands at the top of the
  // recent list.
  bool OpenRememberedDoc(const std::string& path, const std::string& name, bool report);
  // Opens a document by the form of its path (special places by name when
  // the path is empty or Explorer's) and, when the shell opened it, puts it
  // at the top of the recent list (moving the line it had). A local path that
  // is gone gets "本机已不存在此路径:%s".
  void OpenAndRecordDoc(const std::string& path, const std::string& name);
  // The favourites list: the line at the list box's current row.
  void OpenListSelection(const DocList& list, std::optional<size_t> current_row);

  // The tree commands act on the current tree's focused node (null: the page
  // has no tree or the tree no selected node, and nothing happens).
  void OpenSelectedTreeDoc(const TreeNode* node, const DocArray& docs);
  // Opens the node's caption as a folder; records nothing.
  void OpenFolderNode(const TreeNode* node);
  // Opens the folder that holds the node's document.
  void OpenContainingFolder(const TreeNode* node, const DocArray& docs);

  void OpenSpecialFolder(int csidl);
  // In the system's own browser program, "http://" added where the address has no "://".
  void OpenInBrowser(const std::string& address);

 private:
  void Message(const std::string& text);
  void Hint(const std::string& path);
  // The special place `name` stands for, opened; false when it is none.
  bool OpenSpecialPlace(const std::string& path, const std::string& name);
  // Opens a local path by what the file system answers; nullopt when it is
  // gone (the message is shown), else whether the shell opened it and the
  // path it was given.
  std::optional<std::pair<bool, std::string>> OpenLocalDoc(const std::string& path,
                                                           const std::string& verb);
  void Record(const std::string& path, const std::string& name);

  ShellLauncher& shell_;
  DocList& recent_;
  OpenHooks hooks_;
};

// The forms a path can take, as the open operations tell them apart.
// A path the local file system answers for: on a lettered drive, or a UNC path.
bool IsLocalDocPath(std::string_view path);
// A path that names the same place from any current folder: a drive, a colon
// and a separator ("C:\x", "C:/x"), or a UNC path. "C:x" and "x\y" are
// relative.
bool IsAbsolutePath(std::string_view path);
// No ":" (so no scheme or drive), no "\" and no blank, not starting with "/":
// a host name such as a site's domain, perhaps with a path after "/".
bool IsBareAddress(std::string_view path);
// The extension from the last "." on, unless a "\" or ":" follows it.
std::string PathExtension(std::string_view path);
// The folder part of a path: up to and including its last "\" or ":".
std::string ContainingFolder(std::string_view path);
// A folder path with exactly one trailing "\" (runs of "\" collapsed), a UNC
// path keeping the two backslashes that start it.
std::string FolderPathToOpen(std::string_view path);

}  // namespace zd
