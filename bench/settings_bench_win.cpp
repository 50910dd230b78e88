// Times our settings file against the profile API on the same 1,000 history
// records, in separate files of a temporary folder:
//   (a) the "docs" keys written one record at a time (ours: one atomic write
//       per record; the API: six calls per record);
//   (b) a 1,000-record file read whole (ours: open and read the 6,000 keys;
//       the API: one call per key).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/sample_records.h"
#include "platform/files.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/text_codec.h"
#include "platform/wide_win.h"
#include "store/config.h"
#include "store/program_files.h"
#include "store/settings_file.h"

using namespace zd;

namespace {

constexpr size_t kRecords = 1000;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Report(const char* what, double ours, double api) {
  std::printf("%s\n  ours: %8.3f s\n  API:  %8.3f s\n  API / ours: %.1f\n", what, ours, api,
              api / ours);
}

}  // namespace

int main() {
  const UINT acp = GetACP();
  std::printf(
      "code page %u%s\n", acp,
      acp == 936 ? "" : " (not 936: Chinese text goes to UTF-8 in our file, '?' in the API's)");
  const auto files = MakeSystemFiles();
  const auto codec = MakeSystemCodec();
  TempDirForTests dir;
  const std::vector<DocRecord> docs = bench::SampleRecords(kRecords);

  // (a) writing record by record.
  const std::string ours_path = dir.File("ours.ini");
  const std::string api_path = dir.File("api.ini");
  auto start = std::chrono::steady_clock::now();
  {
    SettingsFile settings(*files, *codec, ours_path);
    for (size_t i = 0; i < kRecords; ++i) {
      if (!WriteDocEntry(settings, docs, i, docs[i].name)) {
        std::printf("our write %zu failed\n", i);
        return 1;
      }
    }
  }
  const double ours_write = Seconds(start);
  const std::wstring api_file = Utf8ToWide(api_path);
  start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < kRecords; ++i) {
    const std::array<std::string, 6> values = StoredDocValues(docs[i], docs[i].name);
    for (size_t k = 0; k < 6; ++k) {
      const std::wstring key = Utf8ToWide(kDocKeyNames[k] + std::to_string(i));
      if (!WritePrivateProfileStringW(L"docs", key.c_str(), Utf8ToWide(values[k]).c_str(),
                                      api_file.c_str())) {
        std::printf("API write %zu failed\n", i);
        return 1;
      }
    }
  }
  const double api_write = Seconds(start);
  Report("(a) write 1,000 records one at a time", ours_write, api_write);
  const std::string ours_bytes = files->ReadAll(ours_path).value_or("");
  const std::string api_bytes = files->ReadAll(api_path).value_or("");
  std::printf("  file sizes: ours %zu bytes, API %zu bytes; %s\n", ours_bytes.size(),
              api_bytes.size(), ours_bytes == api_bytes ? "byte-identical" : "different bytes");

  // (b) reading a 1,000-record file: each reader on the file the other wrote
  // too, so neither gains from its own layout.
  size_t mismatches = 0;
  start = std::chrono::steady_clock::now();
  size_t chars = 0;
  {
    SettingsFile settings(*files, *codec, api_path);
    for (size_t i = 0; i < kRecords; ++i) {
      for (const char* key : kDocKeyNames) {
        chars += settings.ReadString("docs", key + std::to_string(i), "").size();
      }
    }
  }
  const double ours_read = Seconds(start);
  start = std::chrono::steady_clock::now();
  size_t api_chars = 0;
  std::wstring buffer(4096, L'\0');
  const std::wstring ours_file = Utf8ToWide(ours_path);
  for (size_t i = 0; i < kRecords; ++i) {
    for (const char* key : kDocKeyNames) {
      const std::wstring wkey = Utf8ToWide(key + std::to_string(i));
      const DWORD n =
          GetPrivateProfileStringW(L"docs", wkey.c_str(), L"", buffer.data(),
                                   static_cast<DWORD>(buffer.size()), ours_file.c_str());
      api_chars += WideToUtf8(std::wstring_view(buffer.data(), n)).size();
    }
  }
  const double api_read = Seconds(start);
  if (chars != api_chars) ++mismatches;
  Report("(b) read 6,000 keys of a 1,000-record file", ours_read, api_read);
  std::printf("  text read: ours %zu bytes, API %zu bytes%s\n", chars, api_chars,
              mismatches ? "  (MISMATCH)" : "");
  return mismatches ? 1 : 0;
}
