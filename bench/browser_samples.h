// Large browser files for the benchmarks: a Firefox session file of a given
// size on disk, and a History database of at least 50 MB.
#pragma once

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/temp_dir_for_tests.h"
#include "tracking/browser_files_for_tests.h"

namespace zd::bench {

// What makes a real session file large: every entry's principals and
// referrer, and each tab's favicon as a data address (barely compressible).
inline std::string LargeSession(size_t target_compressed_bytes, size_t* json_bytes) {
  std::mt19937 random(7);
  const auto base64 = [&](size_t n) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string s(n, 'A');
    for (char& c : s) c = kChars[random() % 64];
    return s;
  };
  std::string windows = "[";
  std::string file;
  for (int w = 0;; ++w) {
    std::string tabs;
    for (int t = 0; t < 40; ++t) {
      std::string entries;
      for (int e = 0; e < 8; ++e) {
        const std::string url = "https://site" + std::to_string(w * 40 + t) + ".example/page/" +
                                std::to_string(e) + "?q=" + base64(12);
        if (e) entries += ",";
        entries +=
            std::string("{\"url\":") + zd::testing::JsonString(url) + ",\"title\":\"Page " +
            std::to_string(e) + " of site " + std::to_string(t) +
            "\",\"charset\":\"UTF-8\",\"ID\":" + std::to_string(e) + ",\"docshellUUID\":\"{" +
            base64(36) + "}\",\"referrerInfo\":\"" + base64(180) +
            "\",\"triggeringPrincipal_base64\":\"{\\\"3\\\":{}}\",\"hasUserInteraction\":true,"
            "\"persist\":true,\"docIdentifier\":" +
            std::to_string(e + 100) + "}";
      }
      if (t) tabs += ",";
      tabs += std::string("{\"entries\":[") + entries +
              "],\"lastAccessed\":1700000000000,\"hidden\":false,\"attributes\":{},"
              "\"image\":\"data:image/png;base64," +
              base64(1500) + "\",\"index\":8,\"requestedIndex\":0,\"userContextId\":0}";
    }
    if (w) windows += ",";
    windows += std::string("{\"tabs\":[") + tabs + "],\"selected\":1}";
    const std::string json = "{\"version\":[\"sessionrestore\",1],\"windows\":" + windows +
                             "],\"selectedWindow\":1,\"_closedWindows\":[]}";
    file = zd::testing::MozLz4(json);
    if (file.size() >= target_compressed_bytes) {
      *json_bytes = json.size();
      return file;
    }
  }
}

// Chromium's urls and visits filling 50 MB, one page per row with one visit
// at its last visit time; the titles are "Article N - ...".
class LargeHistory {
 public:
  LargeHistory() {
    std::vector<zd::testing::HistoryRow> rows;
    std::mt19937 random(11);
    for (int i = 0; std::ifstream(path(), std::ios::ate).tellg() < (50 << 20) || i == 0; ++i) {
      rows.clear();
      for (int j = 0; j < 20000; ++j) {
        const int n = i * 20000 + j;
        rows.push_back({"https://host" + std::to_string(n % 5000) + ".example/articles/" +
                            std::to_string(n) + "/" + std::to_string(random()) +
                            "?utm=" + std::to_string(random()),
                        "Article " + std::to_string(n) + " - a page title of ordinary length",
                        13300000000000000 + n});
      }
      zd::testing::WriteHistory(path(), rows);
      rows_ += static_cast<int>(rows.size());
    }
  }
  std::string path() const { return dir_.File("History"); }
  int rows() const { return rows_; }

 private:
  int rows_ = 0;
  TempDirForTests dir_;
};

}  // namespace zd::bench
