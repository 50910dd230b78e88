#include "store/config.h"

#include <algorithm>
#include <charconv>

#include "platform/errors.h"
#include "platform/utf8.h"
#include "store/program_files.h"
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

FolderVerdict JudgeFolder(const Security& security, bool remembered) {
  switch (security.owner) {
    case Owner::kThisUser:
      return security.inherits || security.open ? FolderVerdict::kTighten : FolderVerdict::kUse;
    case Owner::kAdministrators:
      // Made by an elevated run of an earlier version: the registry of this
      // user names it. Anything else an administrator made is not this user's.
      return remembered ? FolderVerdict::kTake : FolderVerdict::kForeign;
    case Owner::kOtherAccount:
    case Owner::kUnknown:
      break;
  }
  return FolderVerdict::kForeign;
}

std::string FolderBeside(const std::string& dir, const std::string& account) {
  std::string name;
  for (const char c : account) {
    const bool forbidden = static_cast<unsigned char>(c) < 0x20 ||
                           std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
    name += forbidden ? '_' : c;
  }
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  if (name.empty()) name = "user";
  std::string base = dir;
  while (!base.empty() && base.back() == '\\') base.pop_back();
  return base + "." + name + "\\";
}

namespace {

// Every name the program reads or writes in its folder, and the leftovers of
// its saves.
std::vector<std::string> ProgramFileNames() {
  std::vector<std::string> names;
  for (const char* name : {kSettingsFileName, kFavFileName, kRecentFileName, kRunFileName,
                           kLastRunFileName, kNoteFileName, kPicksFileName, kFilesFileName,
                           kPrivacyRulesFileName, kProbeFileName, kLockFileName}) {
    names.push_back(name);
    names.push_back(TempPathFor(name));
    names.push_back(CompletePathFor(name));
  }
  return names;
}

// Renames aside the program's files that another account owns (put there
// while the folder was open to it); false when one could not be moved.
bool SetAsideForeignFiles(Files& files, const std::string& dir, std::vector<std::string>& moved) {
  for (const std::string& name : ProgramFileNames()) {
    const std::string path = dir + name;
    if (!files.FileExists(path)) continue;
    const Owner owner = files.QuerySecurity(path).owner;
    if (owner == Owner::kThisUser || owner == Owner::kAdministrators) continue;
    std::string aside = path + ".foreign";
    for (int n = 2; files.FileExists(aside); ++n) aside = path + ".foreign" + std::to_string(n);
    if (!files.RenameReplacing(path, aside)) return false;
    moved.push_back(aside);
  }
  return true;
}

enum class Taken { kOwn, kCreated, kCannotCreate, kForeign };

// Makes `dir` this user's alone if it can be: created private, or judged and
// tightened, with what others put inside set aside. A foreign folder is only
// looked at.
Taken TakeFolder(Files& files, const std::string& dir, bool remembered,
                 std::vector<std::string>& set_aside) {
  if (!files.DirectoryExists(dir)) {
    if (files.CreatePrivateDirectory(dir)) return Taken::kCreated;
    // Someone made it meanwhile, or it cannot be made.
    if (!files.DirectoryExists(dir)) return Taken::kCannotCreate;
  }
  const Security security = files.QuerySecurity(dir);
  bool own = false;
  switch (JudgeFolder(security, remembered)) {
    case FolderVerdict::kUse:
      own = true;
      break;
    case FolderVerdict::kTighten:
      own = files.MakePrivate(dir, false);
      break;
    case FolderVerdict::kTake:
      // Closed to others already, it may stay the Administrators'.
      own = files.MakePrivate(dir, true) || !security.open;
      break;
    case FolderVerdict::kForeign:
      break;
  }
  std::vector<std::string> moved;
  if (!own || !SetAsideForeignFiles(files, dir, moved)) return Taken::kForeign;
  set_aside.insert(set_aside.end(), moved.begin(), moved.end());
  return Taken::kOwn;
}

}  // namespace

ConfigDirChoice ChooseConfigDir(Files& files, Registry* registry, const std::string& profile_dir,
                                const std::function<void(int)>& sleep_ms) {
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
  std::vector<std::string> candidates = {pick.dir, FolderBeside(pick.dir, files.AccountName())};
  if (!profile_dir.empty()) {
    std::string dir = profile_dir;
    if (dir.back() != '\\') dir += '\\';
    candidates.push_back(dir + kConfigFolderName);
  }
  bool remember = pick.remember;
  for (const std::string& candidate : candidates) {
    const Taken taken = TakeFolder(files, candidate, EqualsIgnoringAsciiCase(candidate, remembered),
                                   choice.set_aside);
    if (taken == Taken::kForeign) {
      if (choice.foreign.empty()) choice.foreign = candidate;
      // A folder of one's own elsewhere is remembered, to be found again.
      remember = true;
      continue;
    }
    choice.dir = candidate;
    // Said at the start that made the user's own folder, not again.
    if (taken != Taken::kCreated) choice.foreign.clear();
    break;
  }
  if (choice.dir.empty()) return choice;
  files.SetHiddenAttribute(choice.dir);
  const std::string probe = choice.dir + kProbeFileName;
  // Another copy may be letting go of the folder right now (its exit).
  RetryWhileBusy(
      [&] {
        choice.lock = files.HoldLockFile(choice.dir + kLockFileName);
        return choice.lock ? Attempt::kDone : Attempt::kBusy;
      },
      sleep_ms);
  if (!choice.lock) {
    // Held by another process, or the folder cannot be written at all.
    choice.in_use = files.WriteAtomic(probe, "probe") && files.RemoveFile(probe);
    return choice;
  }
  choice.recovered = RecoverInterruptedSaves(files, choice.dir);
  choice.writable = files.WriteAtomic(probe, "probe");
  if (choice.writable) files.RemoveFile(probe);
  if (choice.writable && remember && registry && !EqualsIgnoringAsciiCase(remembered, choice.dir)) {
    registry->WriteString(RegRoot::kCurrentUser, ProgramKey(), kConfigFolderValue, choice.dir);
  }
  return choice;
}

std::vector<std::string> RecoverInterruptedSaves(Files& files, const std::string& dir) {
  std::vector<std::string> recovered;
  for (const char* name :
       {kSettingsFileName, kFavFileName, kRecentFileName, kRunFileName, kLastRunFileName,
        kNoteFileName, kPicksFileName, kFilesFileName, kPrivacyRulesFileName, kProbeFileName}) {
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

std::array<std::string, 6> StoredDocValues(const DocRecord& doc, const std::string& name) {
  std::string path = doc.path;
  // A folder is stored as an address so that the next start sees a folder.
  if (doc.doctype == DocKind::kFolder && !IsFileAddress(path)) {
    path.insert(0, kFilePrefix);
  }
  return {name,         doc.date,
          doc.RootPath, std::to_string(StoredNumber(doc.doctype)),
          path,         doc.selected ? "1" : "0"};
}

bool WriteDocEntry(SettingsFile& settings, const DocArray& docs, size_t position,
                   const std::string& name) {
  if (name.empty()) return true;
  if (position >= docs.size()) return false;
  const DocRecord& doc = docs[position];
  if (!InHistorySection(doc.doctype)) return true;
  // Numbered without the records kept elsewhere: the section has no holes.
  position -= doc.unstored_before;
  std::array<std::string, 6> values = StoredDocValues(doc, name);
  std::vector<std::pair<std::string, std::string>> keys;
  keys.reserve(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    keys.emplace_back(DocKey(kDocKeyNames[i], position), std::move(values[i]));
  }
  return settings.WriteKeys(kSectionDocs, keys);
}

std::optional<DocRecord> ReadDocEntry(const SettingsFile& settings, size_t position) {
  DocRecord doc;
  doc.path = Trim(settings.ReadString(kSectionDocs, DocKey("path", position), ""));
  if (doc.path.empty()) return std::nullopt;
  doc.doctype = DocKindOfStored(
      settings.ReadInteger(kSectionDocs, DocKey("doctype", position), StoredNumber(DocKind::kWeb)));
  doc.date = Trim(settings.ReadString(kSectionDocs, DocKey("date", position), ""));
  doc.name = settings.ReadString(kSectionDocs, DocKey("name", position), "");
  doc.RootPath = settings.ReadString(kSectionDocs, DocKey("RootPath", position), "");
  doc.selected = settings.ReadBool(kSectionDocs, DocKey("selected", position), false);
  return doc;
}

namespace {

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

std::vector<FileRecord> FileRecordsOf(const DocStore& store) {
  std::vector<FileRecord> records;
  for (const DocRecord& doc : store.docs) {
    if (doc.doctype != DocKind::kFile) continue;
    FileRecord record{doc.path, doc.name, doc.date, doc.date, {}, doc.selected};
    const auto seen = store.file_seen.find(DocPathKey(doc.path));
    if (seen != store.file_seen.end()) {
      if (!seen->second.last_seen.empty()) record.last_seen = seen->second.last_seen;
      record.program = seen->second.program;
    }
    records.push_back(std::move(record));
  }
  return records;
}

bool SaveFileHistory(DocStore& store, bool always) {
  if (!always && !store.files_changed) return true;
  if (!store.files || !store.codec) return false;
  if (!SaveFileRecords(*store.files, *store.codec, store.ConfigDir + kFilesFileName,
                       FileRecordsOf(store), store.files_origin)) {
    return false;
  }
  store.files_changed = false;
  return true;
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

}  // namespace

bool SaveLastRunList(DocStore& store) {
  if (!store.files || !store.codec) return false;
  std::vector<std::string> lines;
  lines.reserve(store.LastRunList.size());
  for (const std::string& line : store.LastRunList) lines.push_back(BlankControlChars(line));
  return SaveText(*store.files, *store.codec, store.ConfigDir + kLastRunFileName, JoinLines(lines),
                  store.last_run_utf8);
}

bool SaveSettings(DocStore& store, const WindowSettings& window) {
  if (!store.files || !store.codec) return false;
  const bool settings_ok = SaveDefaultSection(store, window);
  const bool note_ok = !NoteIsSaved(store, window) || SaveNote(store, *window.note);
  return settings_ok && note_ok;
}

ExitSaveResult RunExitSequence(DocStore& store, const WindowSettings& window) {
  ExitSaveResult result;
  if (!store.files || !store.codec) {
    result.fav = result.rec = result.run = result.last_run = result.settings = result.note =
        result.files = false;
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
    save(kLastRunFileName, result.last_run, [&] { return SaveLastRunList(store); });
  // Only what changed since the last refresh wrote it (a choice for automatic start).
  if (store.files_origin.loaded && store.files_changed) {
    save(kFilesFileName, result.files, [&] { return SaveFileHistory(store); });
  }
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
