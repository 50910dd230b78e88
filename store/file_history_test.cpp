// The files' list: its line format, its save and load through a user's weeks.
#include "store/file_history.h"

#include <gtest/gtest.h>

#include "platform/fake_files.h"

namespace zd {
namespace {

constexpr char kDir[] = "C:\\MrxConfig\\";
constexpr char kPath[] = "C:\\MrxConfig\\files.dat";

TEST(FileHistory, EveryRecordComesBackFromItsLine) {
  const FileRecord records[] = {
      {"C:\\Work\\报告.docx", "报告.docx", "2024-05-01", "2024-05-06", "C:\\Office\\writer.exe",
       false},
      {"\\\\server\\share\\plan 2026.xlsx", "plan 2026.xlsx", "2024-01-02", "2024-01-02", "", true},
      {"D:\\a b\\x%20y.txt", "x%20y.txt", "2023-12-31", "2024-02-29", "notepad.exe", false},
      {"E:\\只有名字.pdf", "只有名字.pdf", "", "", "", false},
  };
  for (const FileRecord& record : records) {
    const std::string line = MakeFileLine(record);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const std::optional<FileRecord> back = ParseFileLine(line);
    ASSERT_TRUE(back) << line;
    EXPECT_EQ(*back, record) << line;
  }
}

TEST(FileHistory, LinesOfOtherFormsAndDamagedLines) {
  const struct {
    const char* line;
    std::optional<FileRecord> record;
  } cases[] = {
      // A plain list line (as a favourite's): no days, no program.
      {"C:\\a.txt*|*a.txt", FileRecord{"C:\\a.txt", "a.txt", "", "", "", false}},
      // Only the first day: the last is the same.
      {"C:\\a.txt*|*a.txt*2*4*|*2024-01-01",
       FileRecord{"C:\\a.txt", "a.txt", "2024-01-01", "2024-01-01", "", false}},
      {"C:\\a.txt", std::nullopt},
      {"*|*name only", std::nullopt},
      {"C:\\a.txt*|*", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseFileLine(c.line), c.record) << c.line;
}

class FileHistoryFile : public ::testing::Test {
 protected:
  FileHistoryFile() {
    files.AddDrive("C:\\", DriveKind::kFixed);
    files.AddDirectory(kDir);
  }
  std::vector<FileRecord> Load() { return LoadFileRecords(files, *codec, kPath, origin); }
  FakeFiles files;
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  FileOrigin origin;
};

// A user's weeks: 20,000 files, saved and loaded again, in their order.
TEST_F(FileHistoryFile, ManyRecordsRoundTripInTheirOrder) {
  EXPECT_TRUE(Load().empty());
  ASSERT_TRUE(origin.loaded) << "a missing file may be written";
  std::vector<FileRecord> records;
  for (int i = 0; i < 20000; ++i) {
    const std::string name = (i % 3 ? "报告" : "notes") + std::to_string(i) + ".docx";
    records.push_back({"C:\\Work\\" + std::to_string(i % 97) + "\\" + name, name, "2024-05-01",
                       "2024-06-0" + std::to_string(1 + i % 9), i % 5 ? "" : "writer.exe",
                       i % 7 == 0});
  }
  ASSERT_TRUE(SaveFileRecords(files, *codec, kPath, records, origin));
  EXPECT_EQ(Load(), records);
}

// What a failing disk leaves: a save that cannot be written keeps the last
// file whole, a file that could not be read is never written over.
TEST_F(FileHistoryFile, AFailingFileKeepsWhatItHeld) {
  const std::vector<FileRecord> first = {
      {"C:\\a.txt", "a.txt", "2024-01-01", "2024-01-02", "", false}};
  std::vector<FileRecord> second = first;
  second.push_back({"C:\\b.txt", "b.txt", "2024-01-03", "2024-01-03", "", false});
  struct Case {
    const char* what;
    bool reads_fail;  // else the writes fail, after one good save
  } const cases[] = {{"writes fail", false}, {"reads fail", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files.ClearFailures();
    files.PutFile(kPath, "");
    Load();
    ASSERT_TRUE(SaveFileRecords(files, *codec, kPath, first, origin));
    const std::string held = files.files().at(kPath);
    (c.reads_fail ? files.FailReadsOf(kPath) : files.FailWritesTo(kPath));
    if (c.reads_fail) EXPECT_TRUE(Load().empty());
    EXPECT_FALSE(SaveFileRecords(files, *codec, kPath, c.reads_fail ? first : second, origin));
    EXPECT_EQ(files.files().at(kPath), held);
    files.ClearFailures();
    EXPECT_EQ(Load(), first);
  }
}

TEST(FileHistory, DaysOfTimes) {
  // The oracle: days counted from 1970-01-01 by a plain walk over the calendar.
  auto walk = [](int64_t days) {
    int year = 1970, month = 1;
    auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (;;) {
      const int in_year = leap(year) ? 366 : 365;
      if (days < in_year) break;
      days -= in_year;
      ++year;
    }
    for (;;) {
      const int in_month = lengths[month - 1] + (month == 2 && leap(year) ? 1 : 0);
      if (days < in_month) break;
      days -= in_month;
      ++month;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, static_cast<int>(days) + 1);
    return std::string(text);
  };
  for (int64_t days = 1; days < 60000; days += 7) {
    EXPECT_EQ(DateOfSeconds(days * 86400 + 86399), walk(days)) << days;
  }
  EXPECT_EQ(DateOfSeconds(0), "");
  EXPECT_EQ(DateOfSeconds(-5), "");
}

}  // namespace
}  // namespace zd
