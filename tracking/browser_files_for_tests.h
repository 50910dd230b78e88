// Browser files as the browsers write them, made by the tests and the
// benchmarks: Firefox session JSON and its mozLz4 file, profiles.ini,
// "Local State", and a History database with Chromium's urls table.
#pragma once

#include <lz4.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace zd::testing {

struct TabSpec {
  // (url, title) pairs; a title of "-" leaves the entry without one.
  std::vector<std::pair<std::string, std::string>> entries;
  int index = -1;  // 1-based; -1 writes no index
};

inline std::string JsonString(const std::string& text) {
  std::string out(1, '"');
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

inline std::string TabJson(const TabSpec& tab, const std::string& extra = "") {
  std::string json = "{\"entries\":[";
  for (size_t i = 0; i < tab.entries.size(); ++i) {
    if (i) json += ",";
    json += "{\"url\":";
    json += JsonString(tab.entries[i].first);
    if (tab.entries[i].second != "-") {
      json += ",\"title\":";
      json += JsonString(tab.entries[i].second);
    }
    json += extra;
    json += "}";
  }
  json += "],\"lastAccessed\":1700000000000,\"hidden\":false";
  if (tab.index >= 0) json += ",\"index\":" + std::to_string(tab.index);
  return json + "}";
}

// {"version":..., "windows":[{"tabs":[...]}...], "_closedWindows":[...]}
inline std::string SessionJson(const std::vector<std::vector<TabSpec>>& windows,
                               const std::vector<std::vector<TabSpec>>& closed_windows = {}) {
  const auto list = [](const std::vector<std::vector<TabSpec>>& ws) {
    std::string json = "[";
    for (size_t w = 0; w < ws.size(); ++w) {
      if (w) json += ",";
      json += "{\"tabs\":[";
      for (size_t t = 0; t < ws[w].size(); ++t) {
        if (t) json += ",";
        json += TabJson(ws[w][t]);
      }
      json += "],\"selected\":1,\"_closedTabs\":[]}";
    }
    return json + "]";
  };
  return "{\"version\":[\"sessionrestore\",1],\"windows\":" + list(windows) +
         ",\"selectedWindow\":1,\"_closedWindows\":" + list(closed_windows) +
         ",\"session\":{\"lastUpdate\":1700000000000}}";
}

// "mozLz40\0", the size, one LZ4 block; `declared` overrides the size written.
inline std::string MozLz4(const std::string& json, int64_t declared = -1) {
  std::string out("mozLz40\0", 8);
  const uint32_t size =
      declared < 0 ? static_cast<uint32_t>(json.size()) : static_cast<uint32_t>(declared);
  for (int i = 0; i < 4; ++i) out += static_cast<char>((size >> (8 * i)) & 0xFF);
  std::string block(static_cast<size_t>(LZ4_compressBound(static_cast<int>(json.size()))), '\0');
  const int n = LZ4_compress_default(json.data(), block.data(), static_cast<int>(json.size()),
                                     static_cast<int>(block.size()));
  block.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out + block;
}

inline std::string ProfilesIni(const std::vector<std::string>& relative_paths) {
  std::string ini = "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n\r\n";
  for (size_t i = 0; i < relative_paths.size(); ++i) {
    ini += "[Profile" + std::to_string(i) + "]\r\nName=p" + std::to_string(i) +
           "\r\nIsRelative=1\r\nPath=" + relative_paths[i] + "\r\n\r\n";
  }
  return ini;
}

inline std::string LocalState(const std::vector<std::pair<std::string, std::string>>& profiles) {
  std::string json = "{\"browser\":{\"enabled_labs_experiments\":[]},\"profile\":{\"info_cache\":{";
  for (size_t i = 0; i < profiles.size(); ++i) {
    if (i) json += ",";
    json += JsonString(profiles[i].first);
    json += ":{\"avatar_icon\":\"x\",\"name\":";
    json += JsonString(profiles[i].second);
    json += ",\"is_ephemeral\":false}";
  }
  return json + "},\"last_used\":\"Default\"}}";
}

struct HistoryRow {
  std::string url, title;
  int64_t last_visit_time = 0;
};

// A History database with Chromium's urls table (and its index) holding `rows`.
inline bool WriteHistory(const std::string& path, const std::vector<HistoryRow>& rows) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    return false;
  }
  bool ok =
      sqlite3_exec(db,
                   "CREATE TABLE IF NOT EXISTS meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, "
                   "value LONGVARCHAR);"
                   "CREATE TABLE IF NOT EXISTS urls(id INTEGER PRIMARY KEY AUTOINCREMENT, "
                   "url LONGVARCHAR, title LONGVARCHAR, visit_count INTEGER DEFAULT 0 NOT NULL, "
                   "typed_count INTEGER DEFAULT 0 NOT NULL, last_visit_time INTEGER NOT NULL, "
                   "hidden INTEGER DEFAULT 0 NOT NULL);"
                   "CREATE INDEX IF NOT EXISTS urls_url_index ON urls (url);"
                   "CREATE TABLE IF NOT EXISTS visits(id INTEGER PRIMARY KEY AUTOINCREMENT, "
                   "url INTEGER NOT NULL, visit_time INTEGER NOT NULL, from_visit INTEGER, "
                   "transition INTEGER DEFAULT 0 NOT NULL, segment_id INTEGER, "
                   "visit_duration INTEGER DEFAULT 0 NOT NULL);"
                   "CREATE INDEX IF NOT EXISTS visits_url_index ON visits (url);"
                   "CREATE INDEX IF NOT EXISTS visits_time_index ON visits (visit_time);"
                   "BEGIN;",
                   nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_stmt* stmt = nullptr;
  sqlite3_stmt* visit = nullptr;
  ok = ok && sqlite3_prepare_v2(db, "INSERT INTO urls(url, title, last_visit_time) VALUES(?,?,?)",
                                -1, &stmt, nullptr) == SQLITE_OK;
  // Each page visited once, at its last visit time, and once a year before.
  ok =
      ok && sqlite3_prepare_v2(
                db, "INSERT INTO visits(url, visit_time) VALUES(?1, ?2), (?1, ?2 - 31536000000000)",
                -1, &visit, nullptr) == SQLITE_OK;
  for (size_t i = 0; ok && i < rows.size(); ++i) {
    sqlite3_bind_text(stmt, 1, rows[i].url.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, rows[i].title.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(stmt, 3, rows[i].last_visit_time);
    ok = sqlite3_step(stmt) == SQLITE_DONE;
    sqlite3_reset(stmt);
    sqlite3_bind_int64(visit, 1, sqlite3_last_insert_rowid(db));
    sqlite3_bind_int64(visit, 2, rows[i].last_visit_time);
    ok = ok && sqlite3_step(visit) == SQLITE_DONE;
    sqlite3_reset(visit);
  }
  sqlite3_finalize(stmt);
  sqlite3_finalize(visit);
  ok = ok && sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

}  // namespace zd::testing
