// Today's browsers, where they keep their profiles, and how their windows
// are titled: Firefox and its forks list their profiles in profiles.ini,
// Chromium browsers in the JSON file "Local State" of their user data folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shared_files.h"

namespace zd {

enum class BrowserFamily { kFirefox, kChromium };

struct BrowserKind {
  std::string_view exe;  // the program's file name, lower case
  BrowserFamily family;
  // Firefox: the folder of profiles.ini under the roaming folder; Chromium:
  // the user data folder under the local folder.
  std::string_view data_dir;
  // What ends the window titles ("Google Chrome"), in every spelling in use.
  std::vector<std::string_view> brands;
  // Words a private window's title carries beside the brand.
  std::vector<std::string_view> private_markers;
};

const std::vector<BrowserKind>& KnownBrowsers();
// The browser an executable path belongs to (by file name, ignoring ASCII case).
const BrowserKind* BrowserOfProgram(std::string_view executable);

// `dir` and `relative` joined by the separator `dir` uses ("\" when it has
// none); both separators in `relative` become that one.
std::string JoinPath(std::string_view dir, std::string_view relative);

// The folder holding a browser's profiles (Firefox: profiles.ini's folder).
std::string BrowserDataDir(const BrowserKind& kind, const UserFolders& folders);

// The profile folders listed in profiles.ini, in file order; relative paths
// are taken from `ini_dir`.
std::vector<std::string> ParseProfilesIni(std::string_view ini, std::string_view ini_dir);

struct ChromiumProfile {
  std::string dir;   // folder name under the user data folder ("Default", "Profile 1")
  std::string name;  // the name the user gave it, shown in window titles
  bool operator==(const ChromiumProfile&) const = default;
};

// The profiles of "Local State" (profile.info_cache); nullopt when the text
// is not JSON. Valid JSON without the section lists none.
std::optional<std::vector<ChromiumProfile>> ParseLocalState(std::string_view json);

// A browser window's title taken apart.
struct BrowserTitle {
  std::string page;     // the current tab's title
  std::string profile;  // the profile the title names, or empty
  bool is_private = false;
  bool operator==(const BrowserTitle&) const = default;
};

// "<page> - <brand>", where the brand may be followed or preceded by
// " - <profile name>" (names known from `profile_names`) and may carry a
// private marker; " and N more pages" after the page title (several tabs
// selected) is dropped. nullopt when no brand ends the title (a dialog, a
// window of another kind) or the page title is empty.
std::optional<BrowserTitle> ParseBrowserTitle(std::string_view title, const BrowserKind& kind,
                                              const std::vector<std::string>& profile_names);

// Whether a window's title says it is a browser's private window: a known
// browser's title with its private marker, or any program's title whose
// last " - " part or a bracketed part names one (Incognito, InPrivate,
// Private Browsing, 无痕, 隐身, ... as the browsers write them).
bool IsPrivateWindowTitle(std::string_view title, std::string_view program);

}  // namespace zd
