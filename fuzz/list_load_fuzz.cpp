// Loading any list file: the mirror matches the list, the limit holds, and a
// save followed by a load gives the same list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fake_files.h"
#include "store/doc.h"
#include "store/doc_list.h"
#include "store/program_files.h"

using namespace zd;

namespace {

void CheckMirror(const DocList& list, const MemoryMirror& box) {
  if (box.RowCount() != list.size()) abort();
  for (size_t i = 0; i < list.size(); ++i) {
    if (list.RowText(i) != LineRowText(list.Lines()[i])) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto codec = MakeCodec(936);
  const std::string file = "C:\\MrxConfig\\rec.dat";
  FakeFiles files;
  files.AddDirectory("C:\\MrxConfig");
  files.PutFile(file, std::string(reinterpret_cast<const char*>(data), size));

  MemoryMirror box;
  DocList list(&box);
  ListFileLoad(list, files, *codec, file);
  if (!list.loaded() || list.size() > kMaxListLines) abort();
  CheckMirror(list, box);
  for (const std::string_view line : list.Lines()) {
    if (line.empty() || Trim(line) != line) abort();
  }

  // The recent-list lookup agrees with splitting each line into a fresh record
  // (a local path names one document whatever its case: DocPathKey).
  auto check_lookup = [&] {
    const std::string candidates[] = {
        "", "C:/x", list.empty() ? std::string("x") : std::string(list.Lines().front()),
        std::string(reinterpret_cast<const char*>(data), size < 6 ? size : 6)};
    for (const std::string& path : candidates) {
      bool expected = false;
      for (const std::string_view line : list.Lines()) {
        DocLine record;
        ListLineSplit(line, record);
        expected = expected || DocPathKey(record.path) == DocPathKey(path);
      }
      if (IsInRecentList(list, path) != expected) abort();
    }
    for (const std::string_view line : list.Lines()) {
      DocLine record;
      ListLineSplit(line, record);
      if (!IsInRecentList(list, record.path)) abort();
    }
  };
  check_lookup();

  // Selecting every other row and deleting keeps the pairing.
  for (size_t i = 0; i < box.RowCount(); i += 2) box.SetSelected(i, true);
  AddMyRecent(list, "file:///C:/x", "x");
  DeleteListSelection(list);
  CheckMirror(list, box);
  check_lookup();

  if (!ListFileSave(list, files, *codec, file)) abort();
  DocList again;
  ListFileLoad(again, files, *codec, file);
  if (again.Lines() != list.Lines()) abort();
  return 0;
}
