// These tests start the real program, which keeps its folder on the last
// fixed drive. In a default Wine prefix that is Z:, the machine's root: refuse
// to run there instead of writing into it (scripts/wine-env.sh maps a D:).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

class PrefixGuard : public ::testing::Environment {
 public:
  void SetUp() override {
    wchar_t drives[256] = {};
    GetLogicalDriveStringsW(255, drives);
    wchar_t last = 0;
    for (const wchar_t* d = drives; *d; d += wcslen(d) + 1) {
      if (GetDriveTypeW(d) == DRIVE_FIXED) last = d[0];
    }
    if (last == L'Z' || last == L'z') {
      std::fprintf(stderr,
                   "Z: is the last fixed drive: this prefix would put files on the machine's root."
                   " Source scripts/wine-env.sh first.\n");
      std::exit(2);
    }
  }
};

const auto* const kGuard = ::testing::AddGlobalTestEnvironment(new PrefixGuard);

}  // namespace
