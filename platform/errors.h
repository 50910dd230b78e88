// One error policy. The core returns results; only boundaries (window
// procedures, worker threads, COM callbacks, "keep going" loops) catch, and
// every catch records what it caught: OutputDebugString on Windows, and a
// counter that tests read to prove a success path caught nothing.
#pragma once

#include <cstdint>
#include <string>

namespace zd {

// Call inside a catch block: records the exception being handled.
void RecordCurrentException(const char* where) noexcept;

// How many failures were caught since start, and the last one ("where: what").
uint64_t CaughtFailureCount() noexcept;
std::string LastCaughtFailure();

// Where the record goes besides the counter: the debugger on Windows.
void WriteDebugLine(const std::string& line) noexcept;

}  // namespace zd

// A catch clause that records and swallows anything: `try { ... } ZD_CATCH_LOG("Save")`.
#define ZD_CATCH_LOG(where)              \
  catch (...) {                          \
    ::zd::RecordCurrentException(where); \
  }
