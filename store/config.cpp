#include "store/config.h"

#include <algorithm>
#include <charconv>

#include "platform/errors.h"
#include "platform/utf8.h"
#include "store/AppParams.h"
#include "store/settings_keys.h"
#include "store/text_file.h"

namespace zd {
namespace {

constexpr char kFallbackConfigDir[] = "C:\\MrxConfig\\";
constexpr char kProbeFileName[] = "~zdprobe.tmp";

std::string DocKey(const char* prefix, size_t position) {
  return prefix + std::to_string(position);
}

}  // namespace

FolderPick PickConfigDir(const std::vector<DriveFacts>& drives, const std::string& remembered,
                         bool remembered_exists) {
  if (!remembered.empty() && remembered_exists) return {remembered, false};
  bool remembered_drive_present = false;
  for (const DriveFacts& drive : drives) {
    if (!remembered.empty() && remembered.size() >= drive.root.size() &&
        EqualsIgnoringAsciiCase(std::string_view(remembered).substr(0, drive.root.size()),
                                drive.root)) {
      remembered_drive_present = true;
    }
  }
  // A remembered folder on a disk that is away now comes back with it.
  const bool remember = remembered.empty() || remembered_drive_present;
  const auto folder_on = [](std::string root) {
    if (!root.empty() && root.back() != '\\') root += '\\';
    return root + kConfigFolderName;
  };
  const DriveFacts* last_with_folder = nullptr;
  const DriveFacts* last_fixed = nullptr;
  const DriveFacts* last_fixed_not_usb = nullptr;
  for (const DriveFacts& drive : drives) {
    if (drive.kind != DriveKind::kFixed) continue;
    last_fixed = &drive;
    if (!drive.usb) last_fixed_not_usb = &drive;
    if (drive.has_folder) last_with_folder = &drive;
  }
  if (last_with_folder) return {folder_on(last_with_folder->root), remember};
  const DriveFacts* target = last_fixed_not_usb ? last_fixed_not_usb : last_fixed;
  if (target) return {folder_on(target->root), remember};
  return {kFallbackConfigDir, false};
}

ConfigDirChoice ChooseConfigDir(Files& files, Registry* registry) {
  ConfigDirChoice choice;
  std::vector<DriveFacts> drives;
  for (const std::string& root : files.LogicalDrives()) {
    DriveFacts drive{root, files.DriveType(root)};
    if (drive.kind == DriveKind::kFixed) {
      drive.usb = files.UsbAttached(root);
      std::string dir = root;
      if (!dir.empty() && dir.back() != '\\') dir += '\\';
      drive.has_folder = files.DirectoryExists(dir + kConfigFolderName);
    }
    drives.push_back(std::move(drive));
  }
  std::string remembered;
  if (registry) {
    remembered = Trim(
        registry->ReadString(RegRoot::kCurrentUser, ProgramKey(), kConfigFolderValue).value_or(""));
    if (!remembered.empty() && remembered.back() != '\\') remembered += '\\';
  }
  const FolderPick pick =
      PickConfigDir(drives, remembered, !remembered.empty() && files.DirectoryExists(remembered));
  choice.dir = pick.dir;
  // A folder that cannot be created is not reported here; the probe below
  // finds it, and the program then runs without persistence.
  if (!files.DirectoryExists(choice.dir)) files.CreateDirectories(choice.dir);
  files.SetHiddenAttribute(choice.dir);
  choice.recovered = RecoverInterruptedSaves(files, choice.dir);
  const std::string probe = choice.dir + kProbeFileName;
  choice.writable = files.WriteAtomic(probe, "probe");
  if (choice.writable) files.RemoveFile(probe);
  if (choice.writable && pick.remember && registry &&
      !EqualsIgnoringAsciiCase(remembered, choice.dir)) {
    registry->WriteString(RegRoot::kCurrentUser, ProgramKey(), kConfigFolderValue, choice.dir);
  }
  return choice;
}

std::vector<std::string> RecoverInterruptedSaves(Files& files, const std::string& dir) {
  std::vector<std::string> recovered;
  for (const char* name : {kSettingsFileName, kFavFileName, kRecentFileName, kRunFileName,
                           kLastRunFileName, kNoteFileName, kPicksFileName,
                           kPrivacyRulesFileName, kProbeFileName}) {
    const std::string path = dir + name;
    if (RecoverInterruptedSave(files, path) == Leftover::kRecovered) recovered.push_back(path);
  }
  return recovered;
}

void NormalizeDirPath(std::string& path) {
  if (Trim(path).empty()) return;
  path = Trim(path) + "\\";
  path = ReplaceAll(ReplaceAll(path, "\\\\\\", "\\"), "\\\\", "\\");
}

std::string GetSystemDir(Files& files) { return files.SystemDirectory(); }

bool WriteDocEntry(SettingsFile& settings, const DocArray& docs, size_t position,
                   const std::string& name) {
  if (name.empty()) return true;
  if (position >= docs.size()) return false;
  const TMyDoc& doc = docs[position];
  std::string path = doc.path;
  // A folder is stored as an address so that the next start sees a folder.
  if (doc.doctype == 3 && !IsFileAddress(path)) {
    path.insert(0, kFilePrefix);
  }
  return settings.WriteKeys(kSectionDocs,
                            {
                                {DocKey("name", position), name},
                                {DocKey("date", position), doc.date},
                                {DocKey("RootPath", position), doc.RootPath},
                                {DocKey("doctype", position), std::to_string(doc.doctype)},
                                {DocKey("path", position), path},
                                {DocKey("selected", position), doc.selected ? "1" : "0"},
                            });
}

namespace {

constexpr std::string_view kDocKeyNames[] = {"name", "date", "RootPath", "doctype", "path", "selected"};

// The position of a "docs" key spelled `name` + decimal digits (no leading
// zero, as the program writes them); nullopt for any other key.
std::optional<size_t> DocKeyPosition(std::string_view key, std::string_view name) {
  if (key.size() <= name.size() || !EqualsIgnoringAsciiCase(key.substr(0, name.size()), name)) {
    return std::nullopt;
  }
  const std::string_view digits = key.substr(name.size());
  size_t position = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), position);
  if (ec != std::errc() || end != digits.data() + digits.size() ||
      std::to_string(position) != digits) {
    return std::nullopt;
  }
  return position;
}

}  // namespace

bool EraseDocEntriesFrom(SettingsFile& settings, size_t count) {
  return settings.EraseKeys(kSectionDocs, [count](std::string_view key) {
    for (std::string_view name : kDocKeyNames) {
      if (const auto position = DocKeyPosition(key, name)) return *position >= count;
    }
    return false;
  });
}

std::vector<size_t> StoredDocPositions(const SettingsFile& settings) {
  std::vector<size_t> positions;
  for (const std::string& key : settings.Keys(kSectionDocs)) {
    if (const auto position = DocKeyPosition(key, "path")) positions.push_back(*position);
  }
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  return positions;
}

void OpenSettingsFile(DocStore& store) {
  if (store.settings || !store.files || !store.codec) return;
  store.settings = std::make_unique<SettingsFile>(*store.files, *store.codec,
                                                  store.ConfigDir + kSettingsFileName);
}

void LoadLastRunList(DocStore& store) {
  if (!store.files || !store.codec) return;
  FileOrigin origin;
  const std::optional<std::string> text =
      LoadOwnedText(*store.files, *store.codec, store.ConfigDir + kLastRunFileName, origin);
  if (text) {
    std::vector<std::string> locations;
    for (const std::string& raw : SplitLines(*text)) {
      std::string location = Trim(raw);
      if (location.empty()) continue;
      bool seen = false;
      for (const std::string& known : locations) seen = seen || known == location;
      if (!seen) locations.push_back(std::move(location));
    }
    store.LastRunList = std::move(locations);
  }
  store.last_run_loaded = origin.loaded;
  store.last_run_utf8 = origin.utf8;
}

std::optional<std::string> LoadNote(DocStore& store) {
  if (!store.files || !store.codec) return std::nullopt;
  return LoadOwnedText(*store.files, *store.codec, store.ConfigDir + kNoteFileName, store.note);
}

namespace {

bool SaveDefaultSection(DocStore& store, const WindowSettings& window) {
  OpenSettingsFile(store);
  if (!store.settings) return false;
  bool written = true;
  // The stored keys were never shown in the controls (an exit before the
  // start-up load): they stay as they are.
  if (window.shows_stored_settings) {
    using namespace setting;
    const auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
    const auto positive = [](int value) { return std::to_string(value > 0 ? value : 0); };
    written = store.settings->WriteKeys(
        kSectionDefault, {
                             {kRefresh.name, flag(window.refresh)},
                             {kControlIndex.name, std::to_string(window.control_index)},
                             {kShowFavEdit.name, flag(window.show_fav_edit)},
                             {kNeedRemoveAllStart.name, flag(false)},
                             // Never asks a load to drop the web pages: that wiped whole histories.
                             {kNeedRemoveUrl.name, flag(false)},
                             {kWidth.name, positive(window.width)},
                             {kHeight.name, positive(window.height)},
                         });
  }
  // The exit waits for the file to be on disk, earlier writes included (a
  // write that failed here already is not tried again).
  return written && store.settings->WaitForWrites();
}

// Whether the exit writes the note: the memo exists and the file was read
// (or found missing) at start.
bool NoteIsSaved(const DocStore& store, const WindowSettings& window) {
  return window.note.has_value() && store.note.loaded;
}

bool SaveNote(DocStore& store, const std::string& note) {
  // The memo saves its lines, each ended by CR LF.
  return SaveText(*store.files, *store.codec, store.ConfigDir + kNoteFileName,
                  JoinLines(SplitLines(note)), store.note.utf8);
}

bool SaveLastRun(DocStore& store) {
  std::vector<std::string> lines;
  lines.reserve(store.LastRunList.size());
  for (const std::string& line : store.LastRunList) lines.push_back(BlankControlChars(line));
  return SaveText(*store.files, *store.codec, store.ConfigDir + kLastRunFileName, JoinLines(lines),
                  store.last_run_utf8);
}

}  // namespace

bool SaveSettings(DocStore& store, const WindowSettings& window) {
  if (!store.files || !store.codec) return false;
  const bool settings_ok = SaveDefaultSection(store, window);
  const bool note_ok = !NoteIsSaved(store, window) || SaveNote(store, *window.note);
  return settings_ok && note_ok;
}

ExitSaveResult RunExitSequence(DocStore& store, const WindowSettings& window) {
  ExitSaveResult result;
  if (!store.files || !store.codec) {
    result.fav = result.rec = result.run = result.last_run = result.settings = result.note = false;
    return result;
  }
  const std::string& dir = store.ConfigDir;
  // The exit save is a boundary: each file is saved on its own, so that a
  // failure while saving one costs that file only.
  const auto save = [&](const char* name, bool& ok, const auto& write) {
    ok = false;
    try {
      ok = write();
    }
    ZD_CATCH_LOG("RunExitSequence")
    if (!ok) result.unsaved.push_back(dir + name);
  };
  const auto save_list = [&](const DocList& list, const char* name, bool& ok) {
    if (!list.loaded()) return;
    save(name, ok, [&] { return ListFileSave(list, *store.files, *store.codec, dir + name); });
  };
  save_list(store.MyLoveList, kFavFileName, result.fav);
  save_list(store.MyRecentList, kRecentFileName, result.rec);
  save_list(store.MyRunList, kRunFileName, result.run);
  if (store.last_run_loaded)
    save(kLastRunFileName, result.last_run, [&] { return SaveLastRun(store); });
  // A settings file that could not be read refuses every write of the run;
  // the user was told at start.
  if (!store.settings || store.settings->readable()) {
    save(kSettingsFileName, result.settings, [&] { return SaveDefaultSection(store, window); });
  }
  if (NoteIsSaved(store, window)) {
    save(kNoteFileName, result.note, [&] { return SaveNote(store, *window.note); });
  }
  return result;
}

std::vector<std::string> FilesNotReadAtStart(const DocStore& store) {
  std::vector<std::string> paths;
  const std::string& dir = store.ConfigDir;
  if (store.settings && !store.settings->readable()) paths.push_back(dir + kSettingsFileName);
  if (store.note.unreadable) paths.push_back(dir + kNoteFileName);
  if (store.MyLoveList.origin().unreadable) paths.push_back(dir + kFavFileName);
  if (store.MyRunList.origin().unreadable) paths.push_back(dir + kRunFileName);
  if (store.MyRecentList.origin().unreadable) paths.push_back(dir + kRecentFileName);
  return paths;
}

}  // namespace zd
