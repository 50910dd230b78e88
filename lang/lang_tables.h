// Interface texts in three languages, chosen once by the build's language index.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifndef ZD_LANGUAGE_INDEX
#define ZD_LANGUAGE_INDEX 0
#endif

namespace zd::lang {

// 0 simplified Chinese, 1 traditional Chinese, 2 English.
inline constexpr int LanguageIndex = ZD_LANGUAGE_INDEX;

// Number of lines of the shared table (common to the maker's programs); the
// traditional-Chinese ones come from the text resource "allneed".
inline constexpr int kSharedRows = 45;
// Rows of the shared table that this program reads by name.
inline constexpr int kSharedAboutTitle = 12;
inline constexpr int kSharedPathNotExists = 39;
inline constexpr int kSharedExitQuestion = 41;

struct InterfaceTexts {
  // Own table, texts used by operations.
  std::string ProductText;  // replaces ProductName
  std::string MyComputer, NetworkPlaces, ControlPanel, Performance, Desktop, MyDocuments;
  std::string TipsCaption;     // caption of the exit question
  std::string IntervalFormat;  // "%d" = seconds
  std::string FavHintPath, FavHintName;
  std::string PCStartCaption, PCStartColName, PCStartColPath, PCStartNameLabel, PCStartPathLabel,
      PCStartEmptyName, PCStartEmptyPath;
  std::string ConfigNotWritable;  // "%s" = the configuration folder
  // Messages of the open operations and the history commands.
  std::string FolderGoneFormat;  // "%s" = the folder path
  std::string FolderNodeGone;
  std::string BareAddressFormat;  // "%s" = the bare address
  std::string DeleteAllQuestion;
  // The one line the web page shows where the system has no HTML engine.
  std::string NoHtmlEngine;

  // Shared table: all rows, and the three this program reads by name.
  std::vector<std::string> shared;
  std::string PathNotExists;  // "%s" = the path
  std::string ExitQuestion;
  std::string AboutTitle;

  // Captions copied onto controls and menu entries, in copy order, by control
  // name. The radio group's items follow it as "RgAutorOpenType.0" .. ".2".
  std::vector<std::pair<std::string, std::string>> captions;

  // The caption for a control name, or nullptr.
  const std::string* Caption(std::string_view control) const;
  // The special shell-window texts in the order above.
  std::vector<std::string> SpecialPlaces() const;
};

// The process-wide texts, filled once while the main window is created.
InterfaceTexts& Texts();

// Fills `out` for a language. `allneed` is the content of the "allneed" text
// resource (UTF-8), read only for language 1. False when the fill stopped
// early; rows filled until then keep their values.
bool LoadLanguageTables(int language_index, std::string_view allneed, InterfaceTexts& out);

// "%s%1.1f" of the product text and version: "MRXZapdock3.5".
std::string WindowCaption(const std::string& product, float version);

// printf-style "%d"/"%s" substitution for the table texts (no other specifiers).
std::string FormatText(std::string_view format, int value);
std::string FormatText(std::string_view format, std::string_view value);

// The button images loaded from bitmap resources, by button (and resource) name.
const std::vector<std::string>& ButtonImageNames();

}  // namespace zd::lang
