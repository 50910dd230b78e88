#include "tracking/doc_index.h"

#include <gtest/gtest.h>

#include <random>

#include "tracking/doc_kinds.h"

namespace zd {
namespace {

DocRecord Doc(std::string path, std::string root) {
  DocRecord doc;
  doc.path = std::move(path);
  doc.RootPath = std::move(root);
  return doc;
}

// The tests as their definition reads: a walk over every record.
bool LinearIsDocRegistered(const DocArray& docs, const std::string& address) {
  if (IsDriveRoot(address)) return true;
  std::string key = address;
  const size_t start = key.find_first_not_of(" ");
  if (start != std::string::npos && LowerAscii(key.substr(start, 8)) == "file:///") {
    key = key.substr(start + 8);
    for (char& c : key) {
      if (c == '/') c = '\\';
    }
  }
  for (const DocRecord& doc : docs) {
    if (DocPathKey(Trim(doc.path)) == DocPathKey(Trim(key))) return true;
  }
  return false;
}

bool LinearIsRootRegistered(const DocArray& docs, const std::string& root) {
  for (const DocRecord& doc : docs) {
    if (DocPathKey(Trim(doc.RootPath)) == DocPathKey(Trim(root))) return true;
  }
  return false;
}

TEST(DocIndexTest, ComparesTrimmedTextsLocalPathsWhateverTheirCase) {
  DocArray docs = {Doc(" http://HOST/a ", "HOST"), Doc("C:\\Work\\Proj", " C:\\Work ")};
  DocIndex index;
  index.Rebuild(docs);
  EXPECT_TRUE(IsDocRegistered(index, "http://HOST/a"));
  EXPECT_TRUE(IsDocRegistered(index, "\thttp://HOST/a  "));
  EXPECT_FALSE(IsDocRegistered(index, "http://host/a")) << "case-sensitive";
  EXPECT_FALSE(IsDocRegistered(index, "http://HOST/a/"));
  EXPECT_TRUE(IsDocRegistered(index, "file:///C:/Work/Proj"));
  EXPECT_TRUE(IsDocRegistered(index, "C:\\Work\\Proj"));
  EXPECT_TRUE(IsDocRegistered(index, "file:///c:/work/proj"));
  EXPECT_TRUE(IsDocRegistered(index, "C:\\WORK\\PROJ\\"));
  EXPECT_TRUE(IsRootRegistered(index, "C:\\Work"));
  EXPECT_TRUE(IsRootRegistered(index, "c:\\work"));
  EXPECT_TRUE(IsRootRegistered(index, " HOST"));
  EXPECT_FALSE(IsRootRegistered(index, "host"));
}

TEST(DocIndexTest, DriveRootsCountAsRegisteredInAnEmptyHistory) {
  DocIndex index;
  EXPECT_TRUE(IsDocRegistered(index, "file:///C:/"));
  EXPECT_TRUE(IsDocRegistered(index, "D:\\"));
  EXPECT_FALSE(IsDocRegistered(index, "K:\\"));
  EXPECT_FALSE(IsRootRegistered(index, "C:\\"));
}

TEST(DocIndexTest, SyncAddsAppendedRecordsAndRebuildsAfterShrinking) {
  DocArray docs = {Doc("a", "ra")};
  DocIndex index;
  index.Rebuild(docs);
  docs.push_back(Doc("b", "rb"));
  docs.push_back(Doc("c", "rc"));
  index.Sync(docs);
  EXPECT_EQ(index.size(), 3u);
  EXPECT_TRUE(index.HasPath("c"));
  EXPECT_TRUE(index.HasRoot("rb"));
  docs = {Doc("z", "rz")};
  index.Sync(docs);
  EXPECT_EQ(index.size(), 1u);
  EXPECT_FALSE(index.HasPath("a"));
  EXPECT_TRUE(index.HasPath("z"));
}

TEST(DocIndexTest, AgreesWithAWalkOverTheHistory) {
  std::mt19937 random(20240506);
  const char* const pieces[] = {
      "http://", "file:///", "C:", "/", "\\",    " ",  "a",    "A",     "%20",
      "HOST",    "host",     "D:", ":", "x.exe", "c:", "\\\\", "X.EXE", "FiLe:///"};
  auto text = [&] {
    std::string out;
    const int n = static_cast<int>(random() % 6);
    for (int i = 0; i < n; ++i) out += pieces[random() % std::size(pieces)];
    return out;
  };
  DocArray docs;
  for (int i = 0; i < 300; ++i) docs.push_back(Doc(text(), text()));
  DocIndex index;
  index.Rebuild(docs);
  for (int i = 0; i < 3000; ++i) {
    const std::string probe = text();
    ASSERT_EQ(IsDocRegistered(index, probe), LinearIsDocRegistered(docs, probe)) << probe;
    ASSERT_EQ(IsRootRegistered(index, probe), LinearIsRootRegistered(docs, probe)) << probe;
  }
}

}  // namespace
}  // namespace zd
