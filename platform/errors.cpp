#include "platform/errors.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <string_view>

namespace zd {
namespace {

std::atomic<uint64_t> g_count{0};
std::mutex g_last_mutex;
std::string g_last;

// The folder and name of a source file: "store/config.cpp" of whatever path
// the compiler was given.
std::string_view SourceFileName(std::string_view path) noexcept {
  size_t cut = path.find_last_of("/\\");
  if (cut != std::string_view::npos && cut > 0) {
    const size_t folder = path.find_last_of("/\\", cut - 1);
    cut = folder == std::string_view::npos ? std::string_view::npos : folder;
  }
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

void RecordCurrentException(const char* where, SourceLocation at) noexcept {
  g_count.fetch_add(1, std::memory_order_relaxed);
  // The failure may be the memory running out: if the record cannot be
  // written, the count above still holds.
  try {
    std::string line = std::string("Zapdock: failure caught in ") + (where ? where : "?") + " (" +
                       std::string(SourceFileName(at.file_name())) + ":" +
                       std::to_string(at.line()) + "): ";
    try {
      throw;
    } catch (const std::exception& e) {
      line += e.what();
    } catch (...) {
      line += "unknown exception";
    }
    {
      std::lock_guard<std::mutex> lock(g_last_mutex);
      g_last = line;
    }
    WriteDebugLine(line);
  } catch (...) {
    // Nothing is left to record it with; the count above says it happened.
  }
}

uint64_t CaughtFailureCount() noexcept { return g_count.load(std::memory_order_relaxed); }

std::string LastCaughtFailure() {
  std::lock_guard<std::mutex> lock(g_last_mutex);
  return g_last;
}

}  // namespace zd
