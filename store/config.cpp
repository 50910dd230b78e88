#include "store/config.h"

#include "platform/errors.h"
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

ConfigDirChoice ChooseConfigDir(Files& files) {
  ConfigDirChoice choice;
  choice.dir = kFallbackConfigDir;
  try {
    std::string last_fixed;
    for (const std::string& root : files.LogicalDrives()) {
      if (files.DriveType(root) == DriveKind::kFixed) last_fixed = root;
    }
    if (!last_fixed.empty()) {
      if (last_fixed.back() != '\\') last_fixed += '\\';
      choice.dir = last_fixed + kConfigFolderName;
    }
    // A folder that cannot be created is not reported here; the probe below
    // finds it, and the program then runs without persistence.
    if (!files.DirectoryExists(choice.dir)) files.CreateDirectories(choice.dir);
    files.SetHiddenAttribute(choice.dir);
    const std::string probe = choice.dir + kProbeFileName;
    choice.writable = files.WriteAtomic(probe, "probe");
    if (choice.writable) files.RemoveFile(probe);
  } catch (...) {
    RecordCurrentException(__func__);
    choice.dir = kFallbackConfigDir;
    choice.writable = false;
  }
  return choice;
}

void NormalizeDirPath(std::string& path) {
  if (Trim(path).empty()) return;
  path = Trim(path) + "\\";
  path = ReplaceAll(ReplaceAll(path, "\\\\\\", "\\"), "\\\\", "\\");
}

std::string GetSystemDir(Files& files) {
  try {
    return files.SystemDirectory();
  } catch (...) {
    RecordCurrentException(__func__);
    return {};
  }
}

bool WriteDocEntry(SettingsFile& settings, const DocArray& docs, size_t position,
                   const std::string& name) {
  if (name.empty()) return true;
  if (position >= docs.size()) return false;
  const TMyDoc& doc = docs[position];
  std::string path = doc.path;
  // A folder is stored as an address so that the next start sees a folder.
  if (doc.doctype == 3 && path.find(kFilePrefix) == std::string::npos) {
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

void OpenSettingsFile(DocStore& store) {
  if (store.settings || !store.files || !store.codec) return;
  try {
    store.settings = std::make_unique<SettingsFile>(*store.files, *store.codec,
                                                    store.ConfigDir + kSettingsFileName);
  }
  ZD_CATCH_LOG(__func__)
}

void LoadLastRunList(DocStore& store) {
  if (!store.files || !store.codec) return;
  try {
    const std::string path = store.ConfigDir + kLastRunFileName;
    if (!store.files->FileExists(path)) {
      store.last_run_loaded = true;
      return;
    }
    const std::optional<std::string> text = LoadText(*store.files, *store.codec, path);
    if (!text) return;
    std::vector<std::string> locations;
    for (const std::string& raw : SplitLines(*text)) {
      std::string location = Trim(raw);
      if (location.empty()) continue;
      bool seen = false;
      for (const std::string& known : locations) seen = seen || known == location;
      if (!seen) locations.push_back(std::move(location));
    }
    store.LastRunList = std::move(locations);
    store.last_run_loaded = true;
  }
  ZD_CATCH_LOG(__func__)
}

std::optional<std::string> LoadNote(DocStore& store) {
  if (!store.files || !store.codec) return std::nullopt;
  try {
    return LoadText(*store.files, *store.codec, store.ConfigDir + kNoteFileName);
  } catch (...) {
    RecordCurrentException(__func__);
    return std::nullopt;
  }
}

bool SaveSettings(DocStore& store, const WindowSettings& window) {
  if (!store.files || !store.codec) return false;
  bool ok = false;
  try {
    OpenSettingsFile(store);
    if (store.settings && !window.shows_stored_settings) {
      ok = true;  // the stored keys were never shown, so they stay as they are
    } else if (store.settings) {
      using namespace setting;
      const auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
      const auto positive = [](int value) { return std::to_string(value > 0 ? value : 0); };
      ok = store.settings->WriteKeys(kSectionDefault,
                                     {
                                         {kRefresh.name, flag(window.refresh)},
                                         {kControlIndex.name, std::to_string(window.control_index)},
                                         {kShowFavEdit.name, flag(window.show_fav_edit)},
                                         {kNeedRemoveAllStart.name, flag(false)},
                                         {kNeedRemoveUrl.name, flag(store.docs.size() >= 1001)},
                                         {kWidth.name, positive(window.width)},
                                         {kHeight.name, positive(window.height)},
                                     });
    }
    if (window.note) {
      // The memo saves its lines, each ended by CR LF.
      const bool note_ok = SaveText(*store.files, *store.codec, store.ConfigDir + kNoteFileName,
                                    JoinLines(SplitLines(*window.note)));
      ok = ok && note_ok;
    }
  } catch (...) {
    RecordCurrentException(__func__);
    return false;
  }
  return ok;
}

ExitSaveResult RunExitSequence(DocStore& store, const WindowSettings& window) {
  ExitSaveResult result;
  if (!store.files || !store.codec) {
    result.fav = result.rec = result.run = result.last_run = result.settings = false;
    return result;
  }
  Files& files = *store.files;
  const AnsiCodec& codec = *store.codec;
  const std::string& dir = store.ConfigDir;
  if (store.MyLoveList.loaded()) {
    result.fav = ListFileSave(store.MyLoveList, files, codec, dir + kFavFileName);
  }
  if (store.MyRecentList.loaded()) {
    result.rec = ListFileSave(store.MyRecentList, files, codec, dir + kRecentFileName);
  }
  if (store.MyRunList.loaded()) {
    result.run = ListFileSave(store.MyRunList, files, codec, dir + kRunFileName);
  }
  if (store.last_run_loaded) {
    try {
      result.last_run =
          SaveText(files, codec, dir + kLastRunFileName, JoinLines(store.LastRunList));
    } catch (...) {
      RecordCurrentException(__func__);
      result.last_run = false;
    }
  }
  result.settings = SaveSettings(store, window);
  return result;
}

}  // namespace zd
