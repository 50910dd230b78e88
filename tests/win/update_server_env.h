// The update tests' HTTP server (tests/e2e/with_update_server.sh starts it
// beside the test program): its address, and files put where it serves them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/wide_win.h"

namespace zd {

struct UpdateServerEnv {
  std::string url;   // "http://127.0.0.1:PORT/"
  std::string root;  // the served folder, as a Windows path

  static UpdateServerEnv Get() {
    UpdateServerEnv env;
    const char* url = std::getenv("ZD_TEST_SERVER");
    const char* root = std::getenv("ZD_TEST_SERVER_ROOT_WIN");
    if (url) env.url = url;
    if (root) env.root = root;
    return env;
  }
  bool ok() const { return !url.empty() && !root.empty(); }

  // Writes `data` at `relative` (forward slashes) below the served folder.
  bool Put(std::string_view relative, std::string_view data) const {
    std::string path = root + "\\";
    for (char c : relative) path += c == '/' ? '\\' : c;
    for (size_t cut = path.find('\\', root.size() + 1); cut != std::string::npos;
         cut = path.find('\\', cut + 1)) {
      CreateDirectoryW(Utf8ToWide(path.substr(0, cut)).c_str(), nullptr);
    }
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
        written == data.size();
    CloseHandle(file);
    return ok;
  }
};

// Skips nothing: a test of this suite run without its server fails loudly.
#define ZD_REQUIRE_UPDATE_SERVER(env)                                                       \
  ASSERT_TRUE((env).ok()) << "run through tests/e2e/with_update_server.sh (ZD_TEST_SERVER " \
                             "and ZD_TEST_SERVER_ROOT_WIN are not set)"

}  // namespace zd
