#include "store/settings_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake_files.h"
#include "platform/utf8.h"
#include "store/text_file.h"

namespace zd {
namespace {

IniDocument Parsed(std::string_view text) {
  IniDocument doc;
  doc.Parse(text);
  return doc;
}

std::string Value(const IniDocument& doc, std::string_view section, std::string_view key) {
  return doc.Get(section, key).value_or("<none>");
}

// What a lookup answers, as the profile API would: each case a text and the
// values read from it ("<none>" where there is none).
TEST(IniDocumentTest, LookupsAnswerAsTheProfileApi) {
  struct Lookup {
    const char* section;
    const char* key;
    const char* value;
    const char* why;
  };
  struct Case {
    const char* rule;
    std::string text;
    std::vector<Lookup> lookups;
  } cases[] = {
      {"names match ignoring ASCII case only",
       "[Default]\r\nShowFavEdit=1\r\n[Über]\r\nÄ=ae\r\n",
       {{"default", "showfavedit", "1", ""},
        {"DEFAULT", "SHOWFAVEDIT", "1", ""},
        {"Über", "Ä", "ae", ""},
        {"über", "Ä", "<none>", ""},
        {"Über", "ä", "<none>", ""}}},
      {"names and values are trimmed",
       "  [ Sec ]  \r\n  Key  =  value with spaces  \r\n\tTab\t=\tx\t\x1A\r\nv=\v\fy\r\n"
       "w=\xC2\xA0z\xE3\x80\x80\r\n",
       {{"Sec", "Key", "value with spaces", ""},
        {"  Sec ", " key  ", "value with spaces", "arguments are trimmed too"},
        {"Sec", "Tab", "x", ""},
        {"Sec", "v", "y", ""},
        {"Sec", "w", "\xC2\xA0z\xE3\x80\x80", "only ASCII blanks are trimmed"}}},
      {"one pair of matching quotes is removed",
       "[Q]\r\nd=\"double\"\r\ns='single'\r\nm=\"mismatch'\r\none=\"\r\nempty=\"\"\r\n"
       "inner= \" in ner \" \r\ntwice=\"\"x\"\"\r\nmid=a\"b\"\r\n",
       {{"Q", "d", "double", ""},
        {"Q", "s", "single", ""},
        {"Q", "m", "\"mismatch'", ""},
        {"Q", "one", "\"", ""},
        {"Q", "empty", "", ""},
        {"Q", "inner", " in ner ", ""},
        {"Q", "twice", "\"x\"", ""},
        {"Q", "mid", "a\"b\"", ""}}},
      {"the first duplicate wins, for keys and sections",
       "[S]\r\nk=first\r\nK=second\r\n[s]\r\nk=third\r\nonly=second section\r\n",
       {{"S", "k", "first", ""}, {"S", "only", "<none>", "a repeated section is never searched"}}},
      {"a line without '=' hides a later key of that name",
       "[S]\r\nflag\r\nflag=1\r\n",
       {{"S", "flag", "<none>", ""}}},
      {"headers and odd lines",
       "top=1\r\n[Trail] junk\r\nc=3\r\n[NoClose\r\nd=4\r\n[a]b]\r\ne=5\r\n; note=6\r\n#hash=7\r\n"
       "=novalue\r\n",
       {{"", "top", "1", "lines before the first header"},
        {"Trail", "c", "3", ""},
        {"Trail", "d", "4", "\"[NoClose\" is not a header"},
        {"Trail", "[NoClose", "<none>", ""},
        {"a]b", "e", "5", "the last \"]\" closes the name"},
        {"a]b", "; note", "6", "the API treats comments as names"},
        {"a]b", "#hash", "7", ""},
        {"a]b", "", "novalue", ""}}},
      {"missing sections and keys",
       "[S]\r\nk=v\r\n",
       {{"T", "k", "<none>", ""}, {"S", "x", "<none>", ""}}},
      {"an empty text", "", {{"S", "k", "<none>", ""}}},
  };
  for (const Case& c : cases) {
    const IniDocument doc = Parsed(c.text);
    for (const Lookup& l : c.lookups) {
      EXPECT_EQ(Value(doc, l.section, l.key), l.value)
          << c.rule << ": [" << l.section << "] " << l.key << " " << l.why;
    }
  }
  const IniDocument odd = Parsed(cases[5].text);
  EXPECT_EQ(odd.Keys("a]b"), (std::vector<std::string>{"e", "#hash"}));
  const IniDocument one = Parsed(cases[6].text);
  EXPECT_TRUE(one.HasSection("s"));
  EXPECT_FALSE(one.HasSection("T"));
}

TEST(IniDocumentTest, SerializeWritesTheApiLayout) {
  const IniDocument doc = Parsed(
      "\r\n top = 1 \r\n\r\n[ Sec ] x\r\n  a  =  b  \r\n; comment\r\nflag\r\n\r\n\r\n[]\r\n"
      "e=1\r\n=x\r\n=y\r\nk=v");
  EXPECT_EQ(doc.Serialize(),
            "top=1\r\n[Sec]\r\na=b\r\n; comment\r\nflag\r\n[]\r\ne=1\r\n=x\r\nk=v\r\n");
}

TEST(IniDocumentTest, SetReplacesTheFirstKeyAndKeepsItsSpelling) {
  IniDocument doc = Parsed("[Sec]\r\nKey=old\r\nkey=second\r\n[sec]\r\nother=1\r\n");
  EXPECT_TRUE(doc.Set("SEC", "KEY", "new"));
  EXPECT_TRUE(doc.Set("sec", "other", "2"));
  EXPECT_EQ(doc.Serialize(), "[Sec]\r\nKey=new\r\nkey=second\r\nother=2\r\n[sec]\r\nother=1\r\n");
  EXPECT_FALSE(doc.Set("Sec", "key", "new")) << "same value: nothing changes";
}

TEST(IniDocumentTest, SetAppendsNewKeysAndSections) {
  IniDocument doc = Parsed("[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  EXPECT_TRUE(doc.Set("A", "z", "3"));
  EXPECT_TRUE(doc.Set(" New Sec ", " k ", "v"));
  EXPECT_EQ(doc.Serialize(), "[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n[New Sec]\r\nk=v\r\n");
  IniDocument empty;
  EXPECT_TRUE(empty.Set("docs", "name0", "中文"));
  EXPECT_EQ(empty.Serialize(), "[docs]\r\nname0=中文\r\n");
}

TEST(IniDocumentTest, SetKeepsEveryValueExactly) {
  IniDocument doc;
  for (const char* value : {" lead", "trail ", "\"quoted\"", "'q'", "\"", "", "a \"b\"", "  "}) {
    doc.Set("S", "k", value);
    EXPECT_EQ(Value(doc, "S", "k"), value);
    EXPECT_EQ(Value(Parsed(doc.Serialize()), "S", "k"), value) << "after a round trip";
  }
  doc.Set("S", "k", " x ");
  EXPECT_EQ(doc.Serialize(), "[S]\r\nk=\" x \"\r\n");
  doc.Set("S", "k", "plain value");
  EXPECT_EQ(doc.Serialize(), "[S]\r\nk=plain value\r\n") << "no quotes when none are needed";
}

TEST(IniDocumentTest, LineBreaksInAValueCannotInjectKeys) {
  IniDocument doc;
  doc.Set("S", "k", "a\r\n[T]\r\nx=1");
  const IniDocument again = Parsed(doc.Serialize());
  EXPECT_EQ(Value(again, "S", "k"), "a  [T]  x=1");
  EXPECT_FALSE(again.HasSection("T"));
}

// Every control character becomes a blank, in values and in names: one key
// per line, readable by the profile API (which stops at a NUL).
TEST(IniDocumentTest, ControlCharactersBecomeBlanks) {
  struct Case {
    std::string value;
    std::string read_back;
  } const cases[] = {
      {"tab\there", "tab here"},
      {std::string("nul\0here", 8), "nul here"},
      {"bell\x07 unit\x1F", "bell  unit "},
      {"\tlead", " lead"},
      {"del\x7F kept", "del\x7F kept"},
  };
  for (const Case& c : cases) {
    IniDocument doc;
    doc.Set("S", "k\tey", c.value);
    const IniDocument again = Parsed(doc.Serialize());
    EXPECT_EQ(Value(again, "S", "k ey"), c.read_back);
    EXPECT_EQ(again.Keys("S"), std::vector<std::string>{"k ey"});
    EXPECT_EQ(doc.Serialize().find('\0'), std::string::npos);
  }
}

TEST(IniDocumentTest, EraseKeysTakesEveryRepeatOfThePickedNames) {
  IniDocument doc = Parsed("[s]\r\na=1\r\nb=2\r\nA=3\r\nflag\r\n;c=4\r\n[t]\r\na=5\r\n");
  EXPECT_EQ(doc.EraseKeys("S", [](std::string_view name) { return LowerAscii(name) == "a"; }), 2u);
  EXPECT_EQ(doc.Serialize(), "[s]\r\nb=2\r\nflag\r\n;c=4\r\n[t]\r\na=5\r\n");
  EXPECT_EQ(Value(doc, "s", "b"), "2") << "the index follows";
  EXPECT_EQ(doc.EraseKeys("none", [](std::string_view) { return true; }), 0u);
}

TEST(IniDocumentTest, EraseSectionRemovesTheFirstOnly) {
  IniDocument doc = Parsed("[docs]\r\nname0=a\r\n[x]\r\nk=1\r\n[DOCS]\r\nname0=b\r\n");
  EXPECT_TRUE(doc.EraseSection("Docs"));
  EXPECT_EQ(Value(doc, "docs", "name0"), "b") << "the repeated section shows now";
  EXPECT_EQ(Value(doc, "x", "k"), "1");
  EXPECT_TRUE(doc.EraseSection("docs"));
  EXPECT_FALSE(doc.EraseSection("docs"));
  EXPECT_EQ(doc.Serialize(), "[x]\r\nk=1\r\n");
}

TEST(IniDocumentTest, ParseSerializeParseIsStable) {
  const char* text =
      "a=1\r\n[ S ]z\r\n k = v \r\n;c\r\nno\r\n[]\r\n=q\r\n=r\r\nx=\"y\"\r\n[a]b]\r\n[x\r\n"
      "\x1A\r\n[S]\r\nk=dup\r\n";
  const std::string once = Parsed(text).Serialize();
  EXPECT_EQ(Parsed(once).Serialize(), once);
}

// A copy shares its sections until one side changes one: every kind of
// change on either side leaves the other as it was.
TEST(IniDocumentTest, ACopyKeepsItsContentWhateverTheOtherChanges) {
  const std::string text = "[default]\r\na=1\r\n[docs]\r\npath0=p\r\nname0=n\r\n";
  const std::function<void(IniDocument&)> changes[] = {
      [](IniDocument& d) { d.Set("default", "a", "2"); },
      [](IniDocument& d) { d.Set("docs", "path1", "q"); },
      [](IniDocument& d) { d.Set("new", "k", "v"); },
      [](IniDocument& d) { d.EraseSection("docs"); },
      [](IniDocument& d) { d.EraseKeys("docs", [](std::string_view k) { return k == "name0"; }); },
      [](IniDocument& d) { d.Parse("[other]\r\nx=y\r\n"); },
  };
  for (size_t i = 0; i < std::size(changes); ++i) {
    SCOPED_TRACE(i);
    for (const bool change_copy : {false, true}) {
      IniDocument original = Parsed(text);
      IniDocument copy = original;
      IniDocument& changed = change_copy ? copy : original;
      const IniDocument& kept = change_copy ? original : copy;
      changes[i](changed);
      EXPECT_NE(changed.Serialize(), text);
      EXPECT_EQ(kept.Serialize(), text);
    }
  }
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(codec);
    files.AddDirectory("C:\\MrxConfig");
  }
  int Writes() const { return files.WriteCount(path); }

  FakeFiles files;
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  const std::string path = "C:\\MrxConfig\\defualt.ini";
};

TEST_F(SettingsFileTest, MissingFileGivesDefaults) {
  SettingsFile settings(files, *codec, path);
  EXPECT_TRUE(settings.readable());
  EXPECT_EQ(settings.ReadString("default", "x", "dflt"), "dflt");
  EXPECT_EQ(settings.ReadInteger("default", "CheckDocInterval", 120), 120);
  EXPECT_TRUE(settings.ReadBool("default", "ShowFavEdit", true));
  EXPECT_FALSE(settings.ReadBool("default", "CbRefresh", false));
  EXPECT_EQ(Writes(), 0) << "reading never writes";
}

TEST_F(SettingsFileTest, IntegersAndBooleans) {
  files.PutFile(path,
                "[d]\r\ndec=-42\r\nplus=+7\r\nhex=0x1F\r\nHEX=0XFFFFFFFF\r\nbad=12ab\r\nempty=\r\n"
                "big=99999999999\r\nb2=2\r\nbneg=-1\r\nb0=0\r\nbtext=true\r\nq=\"5\"\r\n"
                "sp=\" 5\"\r\n");
  SettingsFile s(files, *codec, path);
  EXPECT_EQ(s.ReadInteger("d", "dec", 0), -42);
  EXPECT_EQ(s.ReadInteger("d", "plus", 0), 7);
  EXPECT_EQ(s.ReadInteger("d", "hex", 0), 31);
  EXPECT_EQ(s.ReadInteger("d", "Hex", 0), 31) << "the first of duplicate keys";
  EXPECT_EQ(s.ReadInteger("d", "bad", 9), 9);
  EXPECT_EQ(s.ReadInteger("d", "empty", 9), 9);
  EXPECT_EQ(s.ReadInteger("d", "big", 9), 9);
  EXPECT_EQ(s.ReadInteger("d", "q", 9), 5) << "quotes come off first";
  EXPECT_EQ(s.ReadInteger("d", "sp", 9), 9);
  EXPECT_TRUE(s.ReadBool("d", "b2", false)) << "any integer other than 0";
  EXPECT_TRUE(s.ReadBool("d", "bneg", false));
  EXPECT_FALSE(s.ReadBool("d", "b0", true));
  EXPECT_TRUE(s.ReadBool("d", "btext", true)) << "not an integer: the default";
  EXPECT_FALSE(s.ReadBool("d", "btext", false));
}

TEST_F(SettingsFileTest, EachWriteIsOneAtomicReplaceAndPersists) {
  {
    SettingsFile s(files, *codec, path);
    EXPECT_TRUE(s.WriteBool("default", "CbRefresh", true));
    EXPECT_EQ(Writes(), 1);
    EXPECT_TRUE(s.WriteInteger("default", "CheckDocInterval", 300));
    EXPECT_EQ(Writes(), 2);
    EXPECT_TRUE(s.WriteInteger("default", "CheckDocInterval", 300));
    EXPECT_EQ(Writes(), 2) << "an unchanged value is not written again";
    EXPECT_TRUE(s.WriteKeys("docs", {{"name0", "a"}, {"date0", "2024-01-02"}, {"path0", "p"}}));
    EXPECT_EQ(Writes(), 3) << "a group of keys is one write";
  }
  EXPECT_EQ(files.files().at(path),
            "[default]\r\nCbRefresh=1\r\nCheckDocInterval=300\r\n"
            "[docs]\r\nname0=a\r\ndate0=2024-01-02\r\npath0=p\r\n");
  SettingsFile again(files, *codec, path);
  EXPECT_TRUE(again.ReadBool("default", "CbRefresh", false));
  EXPECT_EQ(again.ReadInteger("default", "CheckDocInterval", 120), 300);
  EXPECT_EQ(again.ReadString("docs", "date0", ""), "2024-01-02");
}

TEST_F(SettingsFileTest, HoldsBatchWritesIntoOne) {
  SettingsFile s(files, *codec, path);
  {
    SettingsFile::Hold outer(s);
    for (int i = 0; i < 50; ++i) s.WriteInteger("docs", "doctype" + std::to_string(i), i % 3 + 1);
    {
      SettingsFile::Hold inner(s);
      s.EraseSection("default");
      s.WriteString("docs", "name0", "x");
    }
    EXPECT_EQ(Writes(), 0) << "an inner hold ending does not write";
    EXPECT_TRUE(s.dirty());
  }
  EXPECT_EQ(Writes(), 1);
  EXPECT_FALSE(s.dirty());
  EXPECT_EQ(SettingsFile(files, *codec, path).ReadInteger("docs", "doctype49", 0), 2);
}

TEST_F(SettingsFileTest, FailedWriteIsReportedAndRetriedWithTheNextOne) {
  files.PutFile(path, "[default]\r\nCbRefresh=0\r\n");
  SettingsFile s(files, *codec, path);
  files.set_fail_all_writes(true);
  EXPECT_FALSE(s.WriteBool("default", "CbRefresh", true));
  EXPECT_EQ(files.files().at(path), "[default]\r\nCbRefresh=0\r\n");
  EXPECT_TRUE(s.ReadBool("default", "CbRefresh", false)) << "memory keeps the change";
  files.set_fail_all_writes(false);
  EXPECT_TRUE(s.WriteInteger("default", "width", 0));
  EXPECT_EQ(files.files().at(path), "[default]\r\nCbRefresh=1\r\nwidth=0\r\n");
  // A pending change is written by Flush even when the last write changed nothing.
  files.set_fail_all_writes(true);
  s.WriteInteger("default", "width", 5);
  files.set_fail_all_writes(false);
  EXPECT_TRUE(s.Flush());
  EXPECT_EQ(SettingsFile(files, *codec, path).ReadInteger("default", "width", 0), 5);
}

TEST_F(SettingsFileTest, UnreadableFileIsNeverReplaced) {
  files.PutFile(path, "[default]\r\nCbRefresh=1\r\n");
  files.FailReadsOf(path);
  SettingsFile s(files, *codec, path);
  EXPECT_FALSE(s.readable());
  EXPECT_FALSE(s.WriteBool("default", "ShowFavEdit", false));
  EXPECT_FALSE(s.Flush());
  EXPECT_EQ(files.files().at(path), "[default]\r\nCbRefresh=1\r\n");
  EXPECT_EQ(Writes(), 0);
}

TEST_F(SettingsFileTest, EraseSectionWritesOnceAndOnlyWhenThereWasOne) {
  files.PutFile(path, "[default]\r\na=1\r\n[docs]\r\nname0=x\r\n");
  SettingsFile s(files, *codec, path);
  EXPECT_TRUE(s.EraseSection("docs"));
  EXPECT_EQ(Writes(), 1);
  EXPECT_EQ(files.files().at(path), "[default]\r\na=1\r\n");
  EXPECT_TRUE(s.EraseSection("docs"));
  EXPECT_EQ(Writes(), 1);
}

TEST_F(SettingsFileTest, GbkFileAndTextOutsideTheCodePage) {
  // name0=中文 in code page 936.
  files.PutFile(path, "[docs]\r\nname0=\xD6\xD0\xCE\xC4\r\n");
  SettingsFile s(files, *codec, path);
  EXPECT_EQ(s.ReadString("docs", "name0", ""), "中文");
  ASSERT_TRUE(s.WriteString("docs", "name1", "报告"));
  EXPECT_EQ(files.files().at(path),
            "[docs]\r\nname0=\xD6\xD0\xCE\xC4\r\nname1=\xB1\xA8\xB8\xE6\r\n");
  ASSERT_TRUE(s.WriteString("docs", "name2", "Año 😀"));
  EXPECT_EQ(files.files().at(path).substr(0, 3), kUtf8Bom);
  SettingsFile again(files, *codec, path);
  EXPECT_EQ(again.ReadString("docs", "name0", ""), "中文");
  EXPECT_EQ(again.ReadString("docs", "name2", ""), "Año 😀");
}

TEST_F(SettingsFileTest, UnknownLinesSurviveAWrite) {
  files.PutFile(path, "; written by hand\r\n[default]\r\nflag\r\n#x=1\r\n");
  SettingsFile s(files, *codec, path);
  ASSERT_TRUE(s.WriteInteger("default", "width", 800));
  EXPECT_EQ(files.files().at(path),
            "; written by hand\r\n[default]\r\nflag\r\n#x=1\r\nwidth=800\r\n");
}

}  // namespace
}  // namespace zd

namespace zd {
namespace {

// The writer thread: the caller hands over a snapshot and goes on (it never
// runs a write itself); a snapshot overtaken before its write started is
// skipped, the others reach the disk in order; a failed write is reported by
// the wait and written again by the next flush; an ending file writes what
// was handed over.
TEST_F(SettingsFileTest, TheWriterThreadWritesTheLatestSnapshotsInOrder) {
  const std::thread::id caller = std::this_thread::get_id();
  std::promise<void> gate, first_started;
  std::shared_future<void> opened = gate.get_future().share();
  std::vector<std::string> written;  // each write's content, as flushed
  int flushes = 0;
  bool written_by_caller = false;
  files.step_hook = [&](WriteStep step) {
    written_by_caller = written_by_caller || std::this_thread::get_id() == caller;
    if (step == WriteStep::kFlush) {
      written.push_back(files.files().at(TempPathFor(path)));
      // The first write waits until the caller has made its next changes.
      if (++flushes == 1) {
        first_started.set_value();
        if (opened.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
          return StepAction::kFail;
        }
      }
    }
    return StepAction::kGo;
  };
  {
    SettingsFile s(files, *codec, path);
    s.WriteInBackground();
    EXPECT_TRUE(s.WriteString("default", "a", "1"));
    ASSERT_EQ(first_started.get_future().wait_for(std::chrono::seconds(20)),
              std::future_status::ready);
    // The first write is under way: these do not wait for it.
    EXPECT_TRUE(s.WriteString("default", "b", "1"));
    EXPECT_TRUE(s.WriteString("docs", "c", "1"));
    EXPECT_EQ(s.ReadString("default", "b", ""), "1");
    gate.set_value();
    EXPECT_TRUE(s.WaitForWrites());
    // The second snapshot was overtaken by the third before its write began.
    EXPECT_EQ(written, (std::vector<std::string>{"[default]\r\na=1\r\n",
                                                 "[default]\r\na=1\r\nb=1\r\n[docs]\r\nc=1\r\n"}));
    EXPECT_EQ(files.files().at(path), written.back());

    files.set_fail_all_writes(true);
    EXPECT_TRUE(s.WriteString("default", "d", "1")) << "handed over";
    EXPECT_FALSE(s.WaitForWrites());
    files.set_fail_all_writes(false);
    EXPECT_TRUE(s.Flush());
    EXPECT_TRUE(s.WaitForWrites());
    EXPECT_NE(files.files().at(path).find("d=1"), std::string::npos);
    // Each write is the whole file: a failure that a later write made up
    // for is not reported (writes failing: "0", working: "1").
    int n = 0;
    for (const std::string writes : {"01", "10", "00"}) {
      for (const char works : writes) {
        files.set_fail_all_writes(works == '0');
        s.WriteString("default", "n", std::to_string(++n));
        s.WaitForWriterIdle();
      }
      EXPECT_EQ(s.WaitForWrites(), writes.back() == '1') << writes;
      files.set_fail_all_writes(false);
      EXPECT_TRUE(s.WaitForWrites()) << "written again by the wait's flush";
    }

    written.clear();
    EXPECT_TRUE(s.WriteString("default", "e", "1"));
  }
  EXPECT_NE(files.files().at(path).find("e=1"), std::string::npos) << "written before the end";
  EXPECT_FALSE(written_by_caller);
}

}  // namespace
}  // namespace zd
