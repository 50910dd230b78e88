#include "platform/errors.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zd {
namespace {

TEST(ErrorPolicy, EveryCaughtFailureIsCountedWithWhereAndWhat) {
  struct Case {
    void (*thrower)();
    const char* expected;
  };
  const Case cases[] = {
      {[] { throw std::runtime_error("disk gone"); }, "Zapdock: failure caught in Save: disk gone"},
      {[] { throw 42; }, "Zapdock: failure caught in Save: unknown exception"},
  };
  for (const Case& c : cases) {
    const uint64_t before = CaughtFailureCount();
    try {
      c.thrower();
    }
    ZD_CATCH_LOG("Save")
    EXPECT_EQ(CaughtFailureCount(), before + 1);
    EXPECT_EQ(LastCaughtFailure(), c.expected);
  }
}

}  // namespace
}  // namespace zd
