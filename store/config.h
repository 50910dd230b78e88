// The configuration folder, the record keys of section "docs", the exit-time
// settings and the exit sequence.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text_codec.h"
#include "store/doc.h"
#include "store/doc_list.h"
#include "store/file_history.h"
#include "store/settings_file.h"
#include "store/text_file.h"

namespace zd {

struct ConfigDirChoice {
  // Always ends with "\"; empty when no folder of this user's own could be
  // had (every place belongs to someone else): nothing may be read or written.
  std::string dir;
  bool writable = false;  // a probe file could be written and removed
  // Full paths of the program's files that a save cut short had left whole
  // under their second name only, and that were put back in place.
  std::vector<std::string> recovered;
  // Where files that another account had put among the program's were
  // renamed to: never read, never opened.
  std::vector<std::string> set_aside;
  // The folder the history would have been in, when it belongs to another
  // account and this start made the user a folder of their own instead.
  std::string foreign;
  // Another copy of the program (another session of this account) uses the
  // folder: this one must leave it alone.
  bool in_use = false;
  // Held while the program uses the folder; the last thing to go at exit.
  std::unique_ptr<FileLock> lock;
};

// What the program may do with a folder that exists, from its owner and its
// access list and whether this user's registry names it.
enum class FolderVerdict {
  kUse,      // this user's alone already
  kTighten,  // this user's, open to others or inheriting: made private
  kTake,     // the Administrators' and remembered by this user: taken over
  kForeign,  // someone else's: never read, written or opened from
};
FolderVerdict JudgeFolder(const Security& security, bool remembered);

// "MrxConfig.alice\" beside "D:\MrxConfig\": a folder of the account's
// own when the usual one belongs to someone else.
std::string FolderBeside(const std::string& dir, const std::string& account);

// What the folder choice knows of one drive.
struct DriveFacts {
  std::string root;  // "C:\"
  DriveKind kind = DriveKind::kUnknown;
  bool usb = false;         // attached through USB (a fixed disk that leaves with its cable)
  bool has_folder = false;  // root + "MrxConfig\" exists
};

struct FolderPick {
  std::string dir;        // ends with "\"
  bool remember = false;  // store `dir` as the folder in use
};

// The folder in use stays where the history is: the remembered folder while
// it exists; else an existing "MrxConfig\" on a fixed drive (the last such,
// in the system's order); else a new one on the last fixed drive, never on a
// USB-attached one while another fixed drive exists; with no fixed drive,
// "C:\MrxConfig\". A remembered folder whose drive is absent (a disk not
// attached right now) stays remembered.
FolderPick PickConfigDir(const std::vector<DriveFacts>& drives, const std::string& remembered,
                         bool remembered_exists);

// Chooses the folder (PickConfigDir over the machine's drives and the folder
// remembered under the program's key, when `registry` is given) and makes
// sure it is this user's alone (JudgeFolder): one that belongs to someone
// else is passed over for FolderBeside it, then for `profile_dir` (the
// user's local application data, which no other account can write). Then
// creates and hides it, renames aside what another account put there, takes
// its lock (in_use when another process holds it), settles what saves cut
// short left there (RecoverInterruptedSaves) and probes it for writing; a
// writable choice is remembered. `sleep_ms` paces the wait for a lock that
// another copy is letting go of.
ConfigDirChoice ChooseConfigDir(Files& files, Registry* registry = nullptr,
                                const std::string& profile_dir = "",
                                const std::function<void(int)>& sleep_ms = {});

// Settles the leftovers of interrupted saves of the program's files in
// `dir` (RecoverInterruptedSave); the full paths of the files put back.
std::vector<std::string> RecoverInterruptedSaves(Files& files, const std::string& dir);

// Exactly one trailing "\" and runs of backslashes collapsed; a blank text is
// left unchanged.
void NormalizeDirPath(std::string& path);

std::string GetSystemDir(Files& files);

// The six "docs" keys of a record, and the values stored under them for
// `doc` shown as `name`, in this order.
inline constexpr const char* kDocKeyNames[] = {"name",    "date", "RootPath",
                                               "doctype", "path", "selected"};
std::array<std::string, 6> StoredDocValues(const DocRecord& doc, const std::string& name);
// Writes the six "docs" keys of record `position` in one write; nothing when
// `name` is empty or the record's kind is kept elsewhere (files). The keys are
// numbered by the record's place among the section's records.
bool WriteDocEntry(SettingsFile& settings, const DocArray& docs, size_t position,
                   const std::string& name);
// The record the "docs" keys of `position` hold (its path trimmed, its date
// trimmed, a kind the program does not know as a web page); nullopt when
// it has no path. A folder's path comes as it is stored, "file:///" and all.
std::optional<DocRecord> ReadDocEntry(const SettingsFile& settings, size_t position);
// The positions that have a "path" key in section "docs", ascending, holes
// and all.
std::vector<size_t> StoredDocPositions(const SettingsFile& settings);
// Erases the "docs" keys of every position at and above `count`, so that a
// history rewritten shorter does not bring back the records it dropped.
bool EraseDocEntriesFrom(SettingsFile& settings, size_t count);

// What the main window shows at exit and SaveSettings writes.
struct WindowSettings {
  bool refresh = false;       // CbZDRefresh
  int control_index = 0;      // active page of InnerTabs, hidden pages counted
  bool show_fav_edit = true;  // MnShowFavEdit
  int width = 0;
  int height = 0;
  std::optional<std::string> note;  // MmNote's text, when the memo exists
  // False until the start-up load has put the stored "default" keys into the
  // controls: an exit before that leaves the stored keys as they are, instead
  // of writing the unloaded controls over them.
  bool shows_stored_settings = true;
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
  bool last_run_utf8 = false;  // "lr.dat" was read as UTF-8
  FileOrigin note;             // "note.txt" as LoadNote found it
  // Of each file record in docs (by DocPathKey of its path): the day it was
  // last seen and the program that showed it. "files.dat" as its load found
  // it, and whether anything of it changed since it was written.
  std::unordered_map<std::string, FileSeen> file_seen;
  FileOrigin files_origin;
  bool files_changed = false;
};

// The file records of docs, in their order, with what file_seen holds of them.
std::vector<FileRecord> FileRecordsOf(const DocStore& store);
// "files.dat" from the file records, when anything changed (or `always`);
// true when nothing needed writing.
bool SaveFileHistory(DocStore& store, bool always = false);

// Opens the settings file on ConfigDir + "defualt.ini" unless already open.
void OpenSettingsFile(DocStore& store);
// "lr.dat": one location per line, trimmed, blank lines and duplicates dropped.
void LoadLastRunList(DocStore& store);
// The text of "note.txt"; nullopt when it is missing or cannot be read.
// Only a note found missing or read here is written back at exit.
std::optional<std::string> LoadNote(DocStore& store);

// "lr.dat" from LastRunList, at once (the exit sequence writes it too).
bool SaveLastRunList(DocStore& store);

// Section "default" and, when the memo exists and the note was loaded, "note.txt".
bool SaveSettings(DocStore& store, const WindowSettings& window);

// Result of the exit sequence, file by file.
struct ExitSaveResult {
  bool fav = true, rec = true, run = true, last_run = true, settings = true, note = true,
       files = true;
  bool all() const { return fav && rec && run && last_run && settings && note && files; }
  // Full paths of the files that could not be saved (after waiting for
  // programs that held them), in save order: the user is told once, naming
  // them. Their old content is left as it was.
  std::vector<std::string> unsaved;
};
// Saves "fav.dat", "rec.dat", "run.dat" (each only if loaded), "lr.dat", the
// settings and "note.txt", each on its own: one failing file does not stop
// the others. A file that could not be read at start is left alone.
ExitSaveResult RunExitSequence(DocStore& store, const WindowSettings& window);

// Full paths of the program's files that exist but could not be read at
// start (locked, or no read access) and are therefore not written back this
// run: the settings file, "note.txt" and the three list files, as far as
// they have been loaded. The user is told once, naming them.
std::vector<std::string> FilesNotReadAtStart(const DocStore& store);

}  // namespace zd
