#include "platform/errors.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace zd {
namespace {

TEST(ErrorPolicy, EveryCaughtFailureIsCountedWithWhereWhatAndTheLineThatCaughtIt) {
  struct Case {
    void (*thrower)();
    const char* what;
  };
  const Case cases[] = {
      {[] { throw std::runtime_error("disk gone"); }, "disk gone"},
      {[] { throw 42; }, "unknown exception"},
  };
  for (const Case& c : cases) {
    const uint64_t before = CaughtFailureCount();
    const int first = __LINE__;
    try {
      c.thrower();
    }
    ZD_CATCH_LOG("Save")
    const int last = __LINE__;
    EXPECT_EQ(CaughtFailureCount(), before + 1);
    const std::string prefix = "Zapdock: failure caught in Save (platform/errors_test.cpp:";
    const std::string record = LastCaughtFailure();
    ASSERT_EQ(record.substr(0, prefix.size()), prefix);
    const size_t close = record.find("): ", prefix.size());
    ASSERT_NE(close, std::string::npos) << record;
    const int line = std::stoi(record.substr(prefix.size(), close - prefix.size()));
    EXPECT_GT(line, first + 1) << "the catch clause, not the try";
    EXPECT_LT(line, last);
    EXPECT_EQ(record.substr(close + 3), c.what);
  }
}

}  // namespace
}  // namespace zd
