// The configuration folder, the record keys of section "docs", the exit-time
// settings and the exit sequence.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "store/doc.h"
#include "store/doc_list.h"
#include "store/settings_file.h"

namespace zd {

struct ConfigDirChoice {
  std::string dir;        // always ends with "\"
  bool writable = false;  // a probe file could be written and removed
};

// Last fixed drive's root + "MrxConfig\" (or C:\MrxConfig\ with no fixed
// drive), created and hidden; then probed for writing.
ConfigDirChoice ChooseConfigDir(Files& files);

// Exactly one trailing "\" and runs of backslashes collapsed; a blank text is
// left unchanged.
void NormalizeDirPath(std::string& path);

std::string GetSystemDir(Files& files);

// Writes the six "docs" keys of record `position` in one write; nothing when
// `name` is empty.
bool WriteDocEntry(SettingsFile& settings, const DocArray& docs, size_t position,
                   const std::string& name);

// What the main window shows at exit and SaveSettings writes.
struct WindowSettings {
  bool refresh = false;       // CbZDRefresh
  int control_index = 0;      // active page of TVControl, hidden pages counted
  bool show_fav_edit = true;  // MnShowFavEdit
  int width = 0;
  int height = 0;
  std::optional<std::string> note;  // MmNote's text, when the memo exists
};

// Everything the main window owns of the document store.
struct DocStore {
  Files* files = nullptr;
  const AnsiCodec* codec = nullptr;
  std::string ConfigDir;
  std::unique_ptr<SettingsFile> settings;
  DocList MyRecentList;
  DocList MyLoveList;
  DocList MyRunList;
  DocArray docs;
  // Counts the changes of `docs` other than appending (the rebuilds), so that
  // anything holding positions or copies of records can tell they went stale.
  uint64_t docs_generation = 0;
  std::vector<std::string> LastRunList;
  bool last_run_loaded = false;
};

// Opens the settings file on ConfigDir + "defualt.ini" unless already open.
void OpenSettingsFile(DocStore& store);
// "lr.dat": one location per line, trimmed, blank lines and duplicates dropped.
void LoadLastRunList(DocStore& store);
std::optional<std::string> LoadNote(DocStore& store);

bool SaveSettings(DocStore& store, const WindowSettings& window);

// Result of the exit sequence, file by file.
struct ExitSaveResult {
  bool fav = true, rec = true, run = true, last_run = true, settings = true;
  bool all() const { return fav && rec && run && last_run && settings; }
};
// Saves "fav.dat", "rec.dat", "run.dat" (each only if loaded), "lr.dat" and
// the settings, each on its own: one failing file does not stop the others.
ExitSaveResult RunExitSequence(DocStore& store, const WindowSettings& window);

}  // namespace zd
