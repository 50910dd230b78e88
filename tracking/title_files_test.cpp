#include "tracking/title_files.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

// What a document program's title names, among the files the shell knows.
TEST(TitleFilesTest, AProgramsTitleNamesTheFileItShows) {
  TitleFiles files;
  files.Add("D:\\工作\\报告.docx", 1700000000);
  files.Add("C:\\Users\\me\\notes.txt", 1700000100);
  files.Add("E:\\old\\notes.txt", 1600000000);
  files.Add("D:\\plan.v2.xlsx", 1700000200);
  files.Add("D:\\Word", 1700000300);  // no extension: named like a program, never matched
  struct Case {
    const char* title;
    std::optional<std::string> file;
  } const cases[] = {
      {"报告.docx - 某编辑器", "D:\\工作\\报告.docx"},
      {"报告 - Word", "D:\\工作\\报告.docx"},
      {"notes.txt - 记事本", "C:\\Users\\me\\notes.txt"},
      {"*NOTES.TXT - Notepad", "C:\\Users\\me\\notes.txt"},
      {"notes.txt* \xE2\x80\x94 Editor", "C:\\Users\\me\\notes.txt"},
      {"plan.v2.xlsx [只读] - 表格", "D:\\plan.v2.xlsx"},
      {"plan.v2 - Sheets", "D:\\plan.v2.xlsx"},
      {"报告.docx", "D:\\工作\\报告.docx"},
      {"Editor - 报告.docx", "D:\\工作\\报告.docx"},
      {"年度报告.docx - Word", std::nullopt},
      {"Inbox - Mail", std::nullopt},
      {"", std::nullopt},
      {" - ", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(files.FileOf(c.title), c.file) << c.title;
  EXPECT_EQ(TitleFiles().FileOf("报告.docx - Word"), std::nullopt);
}

}  // namespace
}  // namespace zd
