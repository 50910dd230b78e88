#include "platform/errors.h"

#include <atomic>
#include <exception>
#include <mutex>

namespace zd {
namespace {

std::atomic<uint64_t> g_count{0};
std::mutex g_last_mutex;
std::string g_last;

}  // namespace

void RecordCurrentException(const char* where) noexcept {
  std::string line = std::string("Zapdock: failure caught in ") + (where ? where : "?") + ": ";
  try {
    throw;
  } catch (const std::exception& e) {
    line += e.what();
  } catch (...) {
    line += "unknown exception";
  }
  g_count.fetch_add(1, std::memory_order_relaxed);
  try {
    std::lock_guard<std::mutex> lock(g_last_mutex);
    g_last = line;
  } catch (...) {
    // A full memory or a broken lock must not turn a record into a crash.
  }
  WriteDebugLine(line);
}

uint64_t CaughtFailureCount() noexcept { return g_count.load(std::memory_order_relaxed); }

std::string LastCaughtFailure() {
  std::lock_guard<std::mutex> lock(g_last_mutex);
  return g_last;
}

}  // namespace zd
