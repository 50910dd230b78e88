// One error policy, stated once. The core returns results (a bool, an
// optional, a small status) and lets exceptions travel; what can fail only by
// running out of memory simply lets the failure go by. Only these boundaries
// catch, each through ZD_CATCH_LOG or RecordCurrentException:
//   - window procedures and subclass procedures: C callbacks no exception may
//     unwind through (window_win.h, mainwin/control_input_win.h);
//   - guarded callbacks: work the core runs for others where a failure must
//     stop at that work (a hook called from a destructor, the work waiting for
//     the history load, each refresh of the refresh loop);
//   - worker threads (the settings writer, BackgroundJob, the keyboard hook,
//     the search's copies made ahead);
//   - COM callbacks (the browser host);
//   - the exit save, where each file is saved on its own;
//   - "keep going" steps whose failure costs only themselves: one discovery
//     source, one registered record whose tree fails to show it, the removal
//     steps of the uninstall, one picture libjpeg cannot decode.
// An exception that escapes all of them ends the program (abort), recorded
// the same way by the terminate handler in mainwin/entry_win.cpp.
// A portable file may catch only where cmake/catch_sites.txt says so, with its
// reason; the layering check refuses any other `catch (`.
// Every catch records what it caught and where: OutputDebugString on Windows,
// and a counter that tests read to prove that a success path caught nothing.
#pragma once

#include <cstdint>
#include <string>
#include <version>
#if defined(__cpp_lib_source_location)
#include <source_location>
#endif

namespace zd {

#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
// Clang before 15 has no std::source_location with libstdc++: the same file
// and line from the builtins that both compilers have.
struct SourceLocation {
  static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                          unsigned line = __builtin_LINE()) noexcept {
    return SourceLocation{file, line};
  }
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr unsigned line() const noexcept { return line_; }
  const char* file_;
  unsigned line_;
};
#endif

// Call inside a catch block: records the exception being handled, with the
// file and line of the call.
void RecordCurrentException(const char* where,
                            SourceLocation at = SourceLocation::current()) noexcept;

// How many failures were caught since start, and the last one
// ("where (file:line): what").
uint64_t CaughtFailureCount() noexcept;
std::string LastCaughtFailure();

// Where the record goes besides the counter: the debugger on Windows.
void WriteDebugLine(const std::string& line) noexcept;

}  // namespace zd

// A catch clause that records and swallows anything, with the file and line
// where it stands: `try { ... } ZD_CATCH_LOG("Save")`.
#define ZD_CATCH_LOG(where)                                               \
  catch (...) {                                                           \
    ::zd::RecordCurrentException(where, ::zd::SourceLocation::current()); \
  }
