// Process-wide values and the names of the configuration files.
#pragma once

#include <string>

namespace zd {

// Set at program entry; ProductName is replaced by the language table's
// product text while the main window is created.
extern std::string ProductName;
// The name the setup registers the program under (its uninstall key, its
// folder), whatever the interface language: ProductName's entry value.
inline constexpr char kSetupProductName[] = "Zapdock";
extern std::string AppKey;
extern float ProductVersion;

inline constexpr char kConfigFolderName[] = "MrxConfig\\";
inline constexpr char kSettingsFileName[] = "defualt.ini";
inline constexpr char kFavFileName[] = "fav.dat";
inline constexpr char kRecentFileName[] = "rec.dat";
inline constexpr char kRunFileName[] = "run.dat";
inline constexpr char kLastRunFileName[] = "lr.dat";
inline constexpr char kNoteFileName[] = "note.txt";
// What the launcher's search ranks by: the results picked and pinned.
inline constexpr char kPicksFileName[] = "picks.dat";
// The files opened in any program (their first and last day seen, the program).
inline constexpr char kFilesFileName[] = "files.dat";
// What must never be recorded, or recorded only in part.
inline constexpr char kPrivacyRulesFileName[] = "rules.dat";
// Held open by the copy of the program that uses the folder.
inline constexpr char kLockFileName[] = "zapdock.lock";

// The maker's registry key below HKEY_CURRENT_USER; the program's own key is
// the sub-key named by the application key (ProgramKey).
inline constexpr char kMakerKey[] = "Software\\VazOzod";
std::string ProgramKey();
// The value of the program's key that remembers the configuration folder in use.
inline constexpr char kConfigFolderValue[] = "ConfigFolder";

inline constexpr char kSectionDefault[] = "default";
inline constexpr char kSectionDocs[] = "docs";

// The vendor's home page: the about box, the help menu and the uninstall
// window open it.
inline constexpr char kVendorHomePage[] = "https://www.mrxsoft.example/";

// A list file holds at most this many lines in memory (the newest, at the top).
inline constexpr size_t kMaxListLines = 10000;

// Sets ProductName, AppKey and ProductVersion to their entry values.
void InitProgramValues();

}  // namespace zd
