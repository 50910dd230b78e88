// The document store's bulk paths: a 1,000-record settings file parsed,
// serialized and read key by key, and a 10,000-line list file loaded and saved.
#include <benchmark/benchmark.h>

#include "bench/sample_records.h"
#include "platform/fake_files.h"
#include "store/config.h"
#include "store/doc_list.h"
#include "store/program_files.h"
#include "store/settings_file.h"
#include "store/text_file.h"

namespace zd {
namespace {

constexpr size_t kRecords = 1000;
constexpr char kSettingsPath[] = "C:\\MrxConfig\\defualt.ini";
constexpr char kListPath[] = "C:\\MrxConfig\\rec.dat";
const char* const kKeyNames[] = {"name", "date", "RootPath", "doctype", "path", "selected"};

const AnsiCodec& Gbk() {
  static const auto codec = MakeCodec(936);
  return *codec;
}

FakeFiles& ConfigFolder(FakeFiles& files) {
  files.AddDrive("C:\\", DriveKind::kFixed);
  files.AddDirectory("C:\\MrxConfig");
  return files;
}

// The settings file after 1,000 records were written, as UTF-8 text.
const std::string& SettingsText() {
  static const std::string text = [] {
    FakeFiles files;
    ConfigFolder(files);
    const DocArray docs = bench::SampleRecords(kRecords);
    SettingsFile settings(files, Gbk(), kSettingsPath);
    {
      SettingsFile::Hold hold(settings);
      settings.WriteKeys(kSectionDefault, {{"CbRefresh", "1"}, {"CheckDocInterval", "120"}});
      for (size_t i = 0; i < docs.size(); ++i) WriteDocEntry(settings, docs, i, docs[i].name);
    }
    return DecodeText(files.files().at(kSettingsPath), Gbk());
  }();
  return text;
}

void BM_SettingsParse(benchmark::State& state) {
  const std::string& text = SettingsText();
  for (auto _ : state) {
    IniDocument doc;
    doc.Parse(text);
    benchmark::DoNotOptimize(doc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SettingsParse);

void BM_SettingsSerialize(benchmark::State& state) {
  IniDocument doc;
  doc.Parse(SettingsText());
  for (auto _ : state) benchmark::DoNotOptimize(doc.Serialize());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * SettingsText().size()));
}
BENCHMARK(BM_SettingsSerialize);

// What the start-up load does: open the file, then read every record's keys.
void BM_SettingsOpenAndReadAllKeys(benchmark::State& state) {
  FakeFiles files;
  ConfigFolder(files).PutFile(kSettingsPath, EncodeText(SettingsText(), Gbk()));
  std::vector<std::string> keys;
  for (size_t i = 0; i < kRecords; ++i) {
    for (const char* name : kKeyNames) keys.push_back(name + std::to_string(i));
  }
  for (auto _ : state) {
    SettingsFile settings(files, Gbk(), kSettingsPath);
    size_t total = 0;
    for (const std::string& key : keys) total += settings.ReadString(kSectionDocs, key, "").size();
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * keys.size()));
}
BENCHMARK(BM_SettingsOpenAndReadAllKeys);

// One more record on a full file: serialize, encode and hand over the bytes.
void BM_WriteDocEntryOnFullFile(benchmark::State& state) {
  FakeFiles files;
  ConfigFolder(files).PutFile(kSettingsPath, EncodeText(SettingsText(), Gbk()));
  SettingsFile settings(files, Gbk(), kSettingsPath);
  DocArray docs = bench::SampleRecords(kRecords + 1);
  size_t flip = 0;
  for (auto _ : state) {
    docs[kRecords].selected = (++flip & 1) != 0;  // a changed value, so it is written
    WriteDocEntry(settings, docs, kRecords, docs[kRecords].name);
  }
}
BENCHMARK(BM_WriteDocEntryOnFullFile);

const std::string& ListBytes() {
  static const std::string bytes = [] {
    const DocArray docs = bench::SampleRecords(kMaxListLines);
    std::vector<std::string> lines;
    for (const DocRecord& doc : docs) lines.push_back(MakeDocLine(doc.path, doc.name));
    return EncodeText(JoinLines(lines), Gbk());
  }();
  return bytes;
}

void BM_ListLoad10000(benchmark::State& state) {
  FakeFiles files;
  ConfigFolder(files).PutFile(kListPath, ListBytes());
  for (auto _ : state) {
    MemoryMirror box;
    DocList list(&box);
    ListFileLoad(list, files, Gbk(), kListPath);
    benchmark::DoNotOptimize(list.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ListBytes().size()));
}
BENCHMARK(BM_ListLoad10000);

void BM_ListSave10000(benchmark::State& state) {
  FakeFiles files;
  ConfigFolder(files).PutFile(kListPath, ListBytes());
  DocList list;
  ListFileLoad(list, files, Gbk(), kListPath);
  for (auto _ : state) benchmark::DoNotOptimize(ListFileSave(list, files, Gbk(), kListPath));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ListBytes().size()));
}
BENCHMARK(BM_ListSave10000);

void BM_AddMyRecentToFullList(benchmark::State& state) {
  FakeFiles files;
  ConfigFolder(files).PutFile(kListPath, ListBytes());
  DocList list;
  ListFileLoad(list, files, Gbk(), kListPath);
  // A path already present near the end: the whole list is searched.
  const std::string known = bench::SampleRecords(kMaxListLines)[kMaxListLines - 2].path;
  for (auto _ : state) AddMyRecent(list, known, "x");
  if (list.size() != kMaxListLines) state.SkipWithError("the path was not in the list");
}
BENCHMARK(BM_AddMyRecentToFullList);

}  // namespace
}  // namespace zd
