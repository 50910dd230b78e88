#include "lang/lang_tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "lang/captions.h"

namespace zd::lang {
namespace {

std::string ReadAllneed() {
  std::ifstream in(std::string(ZD_SOURCE_DIR) + "/resources/allneed.txt", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first `n` lines of `text`, each with its line ending.
std::string FirstLines(const std::string& text, int n) {
  size_t pos = 0;
  for (int i = 0; i < n && pos != std::string::npos; ++i) {
    pos = text.find('\n', pos);
    if (pos != std::string::npos) ++pos;
  }
  return pos == std::string::npos ? text : text.substr(0, pos);
}

InterfaceTexts Load(int language, std::string_view allneed = {}) {
  InterfaceTexts t;
  EXPECT_TRUE(LoadLanguageTables(language, allneed, t)) << "language " << language;
  return t;
}

// Every named text, for checks that must cover all of them.
std::vector<std::pair<const char*, const std::string*>> NamedTexts(const InterfaceTexts& t) {
  return {{"ProductText", &t.ProductText},
          {"MyComputer", &t.MyComputer},
          {"NetworkPlaces", &t.NetworkPlaces},
          {"ControlPanel", &t.ControlPanel},
          {"Performance", &t.Performance},
          {"Desktop", &t.Desktop},
          {"MyDocuments", &t.MyDocuments},
          {"TipsCaption", &t.TipsCaption},
          {"IntervalFormat", &t.IntervalFormat},
          {"FavHintPath", &t.FavHintPath},
          {"FavHintName", &t.FavHintName},
          {"PCStartCaption", &t.PCStartCaption},
          {"PCStartColName", &t.PCStartColName},
          {"PCStartColPath", &t.PCStartColPath},
          {"PCStartNameLabel", &t.PCStartNameLabel},
          {"PCStartPathLabel", &t.PCStartPathLabel},
          {"PCStartEmptyName", &t.PCStartEmptyName},
          {"PCStartEmptyPath", &t.PCStartEmptyPath},
          {"ConfigNotWritable", &t.ConfigNotWritable},
          {"PCStartHeader", &t.PCStartHeader},
          {"PCStartColSource", &t.PCStartColSource},
          {"PCStartColState", &t.PCStartColState},
          {"PCStartSourceMachine", &t.PCStartSourceMachine},
          {"PCStartSourceMachine32", &t.PCStartSourceMachine32},
          {"PCStartSourceUser", &t.PCStartSourceUser},
          {"PCStartDisabled", &t.PCStartDisabled},
          {"PCStartNoSelection", &t.PCStartNoSelection},
          {"PCStartWriteFailed", &t.PCStartWriteFailed},
          {"PCStartDeleteFailed", &t.PCStartDeleteFailed},
          {"PCStartUnreadable", &t.PCStartUnreadable},
          {"PCStartOtherType", &t.PCStartOtherType},
          {"PCStartDeleteQuestion", &t.PCStartDeleteQuestion},
          {"RecordingPaused", &t.RecordingPaused},
          {"RecordingWindowsOff", &t.RecordingWindowsOff},
          {"RecordingPolicyOff", &t.RecordingPolicyOff},
          {"RecordingRulesUnreadable", &t.RecordingRulesUnreadable},
          {"RuleFieldTitle", &t.RuleFieldTitle},
          {"RuleFieldAddress", &t.RuleFieldAddress},
          {"RuleFieldProgram", &t.RuleFieldProgram},
          {"RuleActionDrop", &t.RuleActionDrop},
          {"RuleActionRedact", &t.RuleActionRedact},
          {"RuleTextRow", &t.RuleTextRow},
          {"RuleRegexRow", &t.RuleRegexRow},
          {"RuleInvalid", &t.RuleInvalid},
          {"RuleBrokenRow", &t.RuleBrokenRow},
          {"RuleUnknownRow", &t.RuleUnknownRow},
          {"DropRuleMatches", &t.DropRuleMatches},
          {"ForgetQuestion", &t.ForgetQuestion},
          {"AutoStartFailed", &t.AutoStartFailed},
          {"AutoRunQuestion", &t.AutoRunQuestion},
          {"AutoRunMore", &t.AutoRunMore},
          {"FilesNotRead", &t.FilesNotRead},
          {"FilesNotSaved", &t.FilesNotSaved},
          {"FilesRecovered", &t.FilesRecovered},
          {"FilesSetAside", &t.FilesSetAside},
          {"FolderOfYourOwn", &t.FolderOfYourOwn},
          {"FolderGoneFormat", &t.FolderGoneFormat},
          {"FolderNodeGone", &t.FolderNodeGone},
          {"BareAddressFormat", &t.BareAddressFormat},
          {"DeleteAllQuestion", &t.DeleteAllQuestion},
          {"DeleteDocsQuestion", &t.DeleteDocsQuestion},
          {"DeleteMissingFavsQuestion", &t.DeleteMissingFavsQuestion},
          {"NoHtmlEngine", &t.NoHtmlEngine},
          {"LastSessionQuestion", &t.LastSessionQuestion},
          {"LastSessionEmpty", &t.LastSessionEmpty},
          {"HotkeyOff", &t.HotkeyOff},
          {"HotkeyDoubleCtrl", &t.HotkeyDoubleCtrl},
          {"HotkeyDoubleShift", &t.HotkeyDoubleShift},
          {"HotkeyAltSpace", &t.HotkeyAltSpace},
          {"HotkeyCtrlAltZ", &t.HotkeyCtrlAltZ},
          {"HotkeyTaken", &t.HotkeyTaken},
          {"PathNotExists", &t.PathNotExists},
          {"ExitQuestion", &t.ExitQuestion},
          {"AboutTitle", &t.AboutTitle}};
}

// All texts of a language, for character-level checks.
std::vector<std::string> AllTexts(const InterfaceTexts& t) {
  std::vector<std::string> all;
  for (const auto& [name, text] : NamedTexts(t)) all.push_back(*text);
  for (const auto& [control, text] : t.captions) all.push_back(text);
  all.insert(all.end(), t.shared.begin(), t.shared.end());
  return all;
}

// Copy order: own captions, then the tray menu.
const std::vector<std::string> kCopyOrder = {
    "CbFavEdit",        "GbZDFavEdit",      "LblZDFavName",     "LblZDFavPath",
    "GbZDFavList",      "CbZDOnTop",        "CbAutoStart",      "GBZDNavSet",
    "CbZDRefresh",      "LbZDCheckTime",    "GbZDAutoRundDoc",  "CbQueryAutoRunDoc",
    "CbAutoRunDocs",    "RgAutorOpenType",  "RgAutorOpenType0", "RgAutorOpenType1",
    "RgAutorOpenType2", "MyMyLove",         "MnAddToRunList",   "MnExpandAll",
    "MnOpenDIr",        "MnRefresh",        "MnDeleteAllDocs",  "MnDeleteSelected",
    "MnOpenMyFavDoc",   "MyDeleteFav",      "MnZDAddToRun",     "MnZDDeleteNotExistsDoc",
    "MnNewToFav",       "MnUpdateFav",      "MnShowFavEdit",    "MnOpenZapdock",
    "MnZDWeb",          "MnZDDir",          "MnSoftware",       "MnDayCalify",
    "MnToday",          "MnYesday",         "MnPre3days",       "MnPreWeek",
    "MnZDAll",          "PmAutoRun",        "MnSystemUse",      "MnMyComputer",
    "MnZDMyDoc",        "MnMyDesk",         "MnZDControl",      "MnZDRecycle",
    "MnZDTask",         "MnZDRecent",       "MnZDRun",          "PmRecent",
    "PmMyDocs",         "MnPauseRecording", "MnZDExit"};

std::vector<std::string> CaptionNames(const InterfaceTexts& t) {
  std::vector<std::string> names;
  for (const auto& [part, text] : t.captions) names.emplace_back(UiName(part));
  return names;
}

TEST(LangTablesDefault, CaptionAndDesignCaptions) {
  const InterfaceTexts t = Load(0);
  EXPECT_EQ(WindowCaption(t.ProductText, 3.5f), "MRXZapdock3.5");
  EXPECT_EQ(CaptionNames(t), kCopyOrder);

  // The default language leaves every part as designed: its copied captions
  // are the design captions the window and the menus are built with.
  for (const auto& [part, text] : t.captions) EXPECT_EQ(text, CaptionOf(part, 0)) << UiName(part);
}

TEST(LangTablesDefault, OperationTexts) {
  const InterfaceTexts t = Load(0);
  EXPECT_EQ(t.ProductText, "MRXZapdock");
  EXPECT_EQ(t.ExitQuestion, "要退出系统吗?");
  EXPECT_EQ(t.TipsCaption, "提示");
  EXPECT_EQ(t.PathNotExists, "此路径不存在：%s");
  EXPECT_EQ(t.AboutTitle, "关于");
  EXPECT_EQ(t.IntervalFormat, "每%d秒刷新一次");
  EXPECT_EQ(FormatText(t.IntervalFormat, 120), "每120秒刷新一次");
  EXPECT_EQ(t.shared[kSharedExitQuestion], t.ExitQuestion);
  EXPECT_EQ(t.shared[kSharedPathNotExists], t.PathNotExists);
  EXPECT_EQ(t.shared[kSharedAboutTitle], t.AboutTitle);
  EXPECT_EQ(t.SpecialPlaces(), (std::vector<std::string>{"我的电脑", "网上邻居", "控制面板",
                                                         "性能和维护", "桌面", "我的文档"}));
}

TEST(LangTablesEnglish, TrayExitAndInterval) {
  const InterfaceTexts t = Load(2);
  ASSERT_FALSE(t.captions.empty());
  EXPECT_EQ(t.captions.back().first, Ui::MnZDExit);
  EXPECT_EQ(t.captions.back().second, "exit (&E)");
  EXPECT_EQ(t.IntervalFormat, "refresh once every %d seconds");
  EXPECT_EQ(FormatText(t.IntervalFormat, 60), "refresh once every 60 seconds");
  EXPECT_EQ(WindowCaption(t.ProductText, 3.5f), "MRX Zapdock3.5");
  EXPECT_EQ(t.ExitQuestion, "Confirm to exit system?");
  EXPECT_EQ(t.PathNotExists, "Not exists path ：%s");
  EXPECT_EQ(t.AboutTitle, "About");
  EXPECT_EQ(t.TipsCaption, "tips");
  ASSERT_NE(t.Caption(Ui::RgAutorOpenType1), nullptr);
  EXPECT_EQ(*t.Caption(Ui::RgAutorOpenType1), "collection of documents");
  EXPECT_EQ(*t.Caption(Ui::MnOpenZapdock), "Open Zapdock (&S)");
  EXPECT_EQ(t.SpecialPlaces().back(), "My Documents");
  EXPECT_EQ(CaptionNames(t), kCopyOrder);
}

TEST(LangTablesTraditional, FillsSharedRowsFromResource) {
  const std::string allneed = ReadAllneed();
  ASSERT_FALSE(allneed.empty()) << "resources/allneed.txt not found";
  const InterfaceTexts t = Load(1, allneed);
  ASSERT_EQ(t.shared.size(), static_cast<size_t>(kSharedRows));
  for (int r = 0; r < kSharedRows; ++r) {
    EXPECT_FALSE(t.shared[r].empty()) << r;
    EXPECT_EQ(t.shared[r].find('?'), std::string::npos) << r;
  }
  EXPECT_EQ(t.ExitQuestion, "要退出系統嗎？");  // full-width mark survives the "?" removal
  EXPECT_EQ(t.PathNotExists, "此路徑不存在：%s");
  EXPECT_EQ(t.AboutTitle, "關於");
  ASSERT_NE(t.Caption(Ui::CbAutoStart), nullptr);
  EXPECT_EQ(*t.Caption(Ui::CbAutoStart), "開機時自動啟動");
  EXPECT_EQ(CaptionNames(t), kCopyOrder);

  // The resource lines must sit on the rows of the compiled-in columns: rows
  // with a "%s" argument agree across the languages.
  const InterfaceTexts zh = Load(0), en = Load(2);
  for (int r = 0; r < kSharedRows; ++r) {
    const bool arg = zh.shared[r].find("%s") != std::string::npos;
    EXPECT_EQ(t.shared[r].find("%s") != std::string::npos, arg) << r;
    EXPECT_EQ(en.shared[r].find("%s") != std::string::npos, arg) << r;
  }
}

TEST(LangTablesTraditional, NoSimplifiedOnlyCharacters) {
  // Characters whose traditional form differs; "件" is left out on purpose,
  // it is the same in both scripts ("我的文件").
  const std::vector<std::string> simplified_only = {
      "开", "启", "显", "设", "网", "页", "软", "这", "说", "关", "档", "选", "删",
      "录", "统", "请", "输", "认", "载", "夹", "径", "编", "辑", "称", "动", "时",
      "务", "电", "脑", "机", "导", "历", "复", "闭", "误", "帮", "类", "体", "览"};
  const InterfaceTexts tw = Load(1, ReadAllneed());
  for (const std::string& text : AllTexts(tw))
    for (const std::string& ch : simplified_only)
      EXPECT_EQ(text.find(ch), std::string::npos) << "\"" << ch << "\" in \"" << text << "\"";

  // The same check finds them in the simplified tables, so it can fail.
  const std::vector<std::string> zh = AllTexts(Load(0));
  int found = 0;
  for (const std::string& ch : simplified_only)
    for (const std::string& text : zh)
      if (text.find(ch) != std::string::npos) {
        ++found;
        break;
      }
  EXPECT_GE(found, 25);
}

TEST(LangTablesTraditional, ShortResourceStopsSharedFillOnly) {
  const std::string allneed = ReadAllneed();
  auto prefilled = [] {
    InterfaceTexts t;
    for (int r = 0; r < kSharedRows; ++r) t.shared.push_back("old" + std::to_string(r));
    t.ExitQuestion = "old exit";
    t.AboutTitle = "old about";
    return t;
  };

  InterfaceTexts t = prefilled();
  EXPECT_FALSE(LoadLanguageTables(1, FirstLines(allneed, 13), t));
  const InterfaceTexts full = Load(1, allneed);
  for (int r = 0; r < 13; ++r) EXPECT_EQ(t.shared[r], full.shared[r]) << r;
  for (int r = 13; r < kSharedRows; ++r) EXPECT_EQ(t.shared[r], "old" + std::to_string(r));
  EXPECT_EQ(t.AboutTitle, "關於");        // row 12 was reached
  EXPECT_EQ(t.ExitQuestion, "old exit");  // row 41 was not
  EXPECT_EQ(t.captions, full.captions);
  EXPECT_EQ(t.IntervalFormat, "每%d秒重新整理一次");

  // One line short still counts as stopped.
  t = prefilled();
  EXPECT_FALSE(LoadLanguageTables(1, FirstLines(allneed, kSharedRows - 1), t));
  EXPECT_EQ(t.shared[kSharedRows - 2], full.shared[kSharedRows - 2]);
  EXPECT_EQ(t.shared[kSharedRows - 1], "old44");

  InterfaceTexts empty;
  EXPECT_FALSE(LoadLanguageTables(1, "", empty));
  EXPECT_EQ(empty.shared, std::vector<std::string>(kSharedRows));
  EXPECT_TRUE(empty.ExitQuestion.empty());
  EXPECT_EQ(empty.captions, full.captions);
  EXPECT_EQ(empty.ProductText, "MRXZapdock");
}

TEST(LangTablesTraditional, ResourceDecoding) {
  std::string res =
      "\xEF\xBB\xBF"
      "a?b\r\n";        // BOM, "?" removed
  res += "x\xFFy\r\n";  // invalid byte dropped
  res +=
      "\xE9\x97"
      "c\n";  // truncated sequence dropped
  res +=
      "\xC0\xAF"
      "d\r";      // overlong encoding dropped, CR alone ends a line
  res += "\r\n";  // after a lone CR: an empty line is a row
  for (int r = 5; r < kSharedRows; ++r) res.append("L").append(std::to_string(r)).append("\n");
  res += "extra\n";
  InterfaceTexts t;
  EXPECT_TRUE(LoadLanguageTables(1, res, t));
  EXPECT_EQ(t.shared[0], "ab");
  EXPECT_EQ(t.shared[1], "xy");
  EXPECT_EQ(t.shared[2], "c");
  EXPECT_EQ(t.shared[3], "d");
  EXPECT_EQ(t.shared[4], "");
  EXPECT_EQ(t.shared[44], "L44");
  EXPECT_EQ(t.ExitQuestion, "L41");
  EXPECT_EQ(t.shared.size(), static_cast<size_t>(kSharedRows));

  // Only the traditional build reads the resource.
  InterfaceTexts en;
  EXPECT_TRUE(LoadLanguageTables(2, res, en));
  EXPECT_EQ(en.shared[0], "OK");
}

TEST(LangTablesAll, EveryRowFilledInEveryLanguage) {
  const std::string allneed = ReadAllneed();
  for (int language : {0, 1, 2}) {
    SCOPED_TRACE(language);
    const InterfaceTexts t = Load(language, allneed);
    for (const auto& [name, text] : NamedTexts(t)) EXPECT_FALSE(text->empty()) << name;
    ASSERT_EQ(t.shared.size(), static_cast<size_t>(kSharedRows));
    for (int r = 0; r < kSharedRows; ++r) EXPECT_FALSE(t.shared[r].empty()) << r;
    EXPECT_EQ(CaptionNames(t), kCopyOrder);
    for (const auto& [part, text] : t.captions) EXPECT_FALSE(text.empty()) << UiName(part);

    // Formats carry exactly the argument their readers pass.
    EXPECT_NE(FormatText(t.IntervalFormat, 90).find("90"), std::string::npos);
    EXPECT_EQ(t.IntervalFormat.find("%d"), t.IntervalFormat.rfind("%d"));
    const std::string folder = "D:\\MrxConfig\\";
    const std::string msg = FormatText(t.ConfigNotWritable, folder);
    EXPECT_NE(msg.find(folder), std::string::npos);
    EXPECT_EQ(msg.find('%'), std::string::npos);
    EXPECT_NE(FormatText(t.PathNotExists, "C:\\gone").find("C:\\gone"), std::string::npos);
    // One message names every file, each on a line of its own.
    const std::vector<std::string> files = {"D:\\MrxConfig\\fav.dat", "D:\\MrxConfig\\note.txt"};
    for (const std::string* format :
         {&t.FilesNotRead, &t.FilesNotSaved, &t.FilesRecovered, &t.FilesSetAside}) {
      const std::string text = FileListMessage(*format, files);
      EXPECT_NE(text.find("\nD:\\MrxConfig\\fav.dat\nD:\\MrxConfig\\note.txt"), std::string::npos)
          << text;
      EXPECT_EQ(text.find('%'), std::string::npos);
    }
    const std::string asked = FormatText(t.LastSessionQuestion, 7);
    EXPECT_NE(asked.find('7'), std::string::npos) << asked;
    EXPECT_EQ(asked.find('%'), std::string::npos) << asked;
    for (const std::string* format :
         {&t.FolderGoneFormat, &t.BareAddressFormat, &t.HotkeyTaken, &t.FolderOfYourOwn}) {
      const std::string filled = FormatText(*format, "C:\\gone");
      EXPECT_NE(filled.find("C:\\gone"), std::string::npos) << *format;
      EXPECT_EQ(filled.find('%'), std::string::npos) << *format;
    }
  }
  // Unknown language indexes take the simplified tables.
  EXPECT_EQ(Load(7).captions, Load(0).captions);
  EXPECT_EQ(Load(-1).ExitQuestion, "要退出系统吗?");
}

TEST(LangTablesFormat, Substitution) {
  EXPECT_EQ(FormatText("每%d秒刷新一次", 75), "每75秒刷新一次");
  EXPECT_EQ(FormatText("%d", -3), "-3");
  EXPECT_EQ(FormatText("此路径不存在：%s", "C:\\a b"), "此路径不存在：C:\\a b");
  EXPECT_EQ(FormatText("100%% %s", "x"), "100% x");
  EXPECT_EQ(FormatText("%s and %s", "x"), "x and %s");  // one value, one specifier
  EXPECT_EQ(FormatText("%s", 5), "%s");                 // wrong kind is left alone
  EXPECT_EQ(FormatText("%d", "x"), "%d");
  EXPECT_EQ(FormatText("tail %", 1), "tail %");
  EXPECT_EQ(FormatText("%s", "%d"), "%d");  // the value is not scanned again

  EXPECT_EQ(WindowCaption("X", 3.0f), "X3.0");
  EXPECT_EQ(WindowCaption("X", 12.0f), "X12.0");
  EXPECT_EQ(WindowCaption("", 0.5f), "0.5");
}

TEST(LangTablesAll, ProcessWideTextsAndLookups) {
  EXPECT_EQ(&Texts(), &Texts());
  const InterfaceTexts t = Load(0);
  EXPECT_EQ(t.Caption(Ui::BtnZDSearch), nullptr) << "a caption the copy leaves alone";
  ASSERT_NE(t.Caption(Ui::MnZDExit), nullptr);
  EXPECT_EQ(*t.Caption(Ui::MnZDExit), "退出(&E)");
  std::vector<std::string> buttons;
  for (Ui part : ButtonImageParts()) buttons.emplace_back(UiName(part));
  EXPECT_EQ(buttons, (std::vector<std::string>{"BtnZDStart", "BtnZDPCStart", "BtnZDSearch",
                                               "BtnZDAddToFav", "BtnZDUpdateFav",
                                               "BtnZDDeleteAllDocs", "BtnHelp", "BtnAbout"}));
}

}  // namespace
}  // namespace zd::lang
