// Process-wide values and the names of the configuration files.
#pragma once

#include <string>

namespace zd {

// Set at program entry; ProductName is replaced by the language table's
// product text while the main window is created.
extern std::string ProductName;
extern std::string AppKey;
extern float ProductVersion;

inline constexpr char kConfigFolderName[] = "MrxConfig\\";
inline constexpr char kSettingsFileName[] = "defualt.ini";
inline constexpr char kFavFileName[] = "fav.dat";
inline constexpr char kRecentFileName[] = "rec.dat";
inline constexpr char kRunFileName[] = "run.dat";
inline constexpr char kLastRunFileName[] = "lr.dat";
inline constexpr char kNoteFileName[] = "note.txt";
inline constexpr char kPrivacyRulesFileName[] = "rules.dat";

inline constexpr char kSectionDefault[] = "default";
inline constexpr char kSectionDocs[] = "docs";

// The vendor's home page: the about box, the help menu and the uninstall
// window open it.
inline constexpr char kVendorHomePage[] = "https://www.mrxsoft.example/";

// A list file holds at most this many lines in memory (the newest, at the top).
inline constexpr size_t kMaxListLines = 10000;

// Sets ProductName, AppKey and ProductVersion to their entry values.
void InitAppParams();

}  // namespace zd
