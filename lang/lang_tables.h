// Interface texts in three languages, chosen once by the build's language index.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/ui.h"

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
  // The startup programs window beyond its design: which key an entry comes
  // from, whether Windows switched it off, and what could not be done.
  std::string PCStartHeader, PCStartColSource, PCStartColState, PCStartSourceMachine,
      PCStartSourceMachine32, PCStartSourceUser, PCStartDisabled, PCStartNoSelection,
      PCStartWriteFailed, PCStartDeleteFailed;
  std::string PCStartUnreadable;      // "%s" = the keys that could not be read
  std::string PCStartOtherType;       // a value of another type is not overwritten
  std::string PCStartDeleteQuestion;  // "%s" = the entry's name
  std::string AutoStartFailed;        // the own log-on value could not be written
  std::string AutoRunQuestion;        // "%s" = the documents the start would open, one per line
  std::string AutoRunMore;            // "%d" = how many more there are than those named
  // "%s" = the files, one per line (FileListMessage).
  std::string FilesNotRead;    // exist but could not be read at start
  std::string FilesNotSaved;   // could not be saved at exit
  std::string FilesRecovered;  // put back from the whole copy a save cut short left
  std::string FilesSetAside;   // another account had put them there: renamed, never read
  // "%s" = the folder of the user's own, made because the usual one belongs
  // to another account.
  std::string FolderOfYourOwn;
  // Messages of the open operations and the history commands.
  std::string FolderGoneFormat;  // "%s" = the folder path
  std::string FolderNodeGone;
  std::string BareAddressFormat;  // "%s" = the bare address
  std::string DeleteAllQuestion;
  std::string DeleteDocsQuestion;  // "%d" = how many records "删除所选" takes
  // "%d" = how many favourites point nowhere, "%s" = the first names, one a line.
  std::string DeleteMissingFavsQuestion;
  // The one line the web page shows where the system has no HTML engine.
  std::string NoHtmlEngine;
  // The launcher: "%d" = how many documents the last session reopens, and
  // the hotkey's choices in the order of HotkeyChoice (off first).
  std::string LastSessionQuestion;
  std::string LastSessionEmpty;  // nothing was open at the last close
  std::string HotkeyOff, HotkeyDoubleCtrl, HotkeyDoubleShift, HotkeyAltSpace, HotkeyCtrlAltZ;
  std::string HotkeyTaken;  // "%s" = the hotkey another program holds
  // Why nothing new is recorded: the pause switch, or Windows' own setting.
  std::string RecordingPaused, RecordingWindowsOff, RecordingPolicyOff, RecordingRulesUnreadable;
  // The privacy rules: what a rule looks at, what it does, and its list row
  // ("%s" = the pattern); a pattern that is no regular expression ("%s").
  std::string RuleFieldTitle, RuleFieldAddress, RuleFieldProgram;
  std::string RuleActionDrop, RuleActionRedact;
  std::string RuleTextRow, RuleRegexRow;
  std::string RuleInvalid;
  std::string RuleBrokenRow;    // after a broken rule's row; "%s" = why it is broken
  std::string RuleUnknownRow;   // "%s" = the line as the file holds it
  std::string DropRuleMatches;  // "%d" = the stored records a new drop rule matches
  std::string ForgetQuestion;   // "%d" = the records "删除并不再记录" takes

  // Shared table: all rows, and the three this program reads by name.
  std::vector<std::string> shared;
  std::string PathNotExists;  // "%s" = the path
  std::string ExitQuestion;
  std::string AboutTitle;

  // Captions copied onto controls and menu entries, in copy order. The radio
  // group's items follow it as RgAutorOpenType0 .. 2.
  std::vector<std::pair<Ui, std::string>> captions;

  // The copied caption of a part, or nullptr.
  const std::string* Caption(Ui part) const;
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
// A format whose "%s" takes a list of files, filled with one path per line.
std::string FileListMessage(std::string_view format, const std::vector<std::string>& paths);

// The buttons that show a picture: each loads the bitmap resource of its name.
const std::vector<Ui>& ButtonImageParts();

}  // namespace zd::lang
