#include <windows.h>

#include "platform/errors.h"
#include "platform/wide_win.h"

namespace zd {

void WriteDebugLine(const std::string& line) noexcept {
  try {
    OutputDebugStringW((Utf8ToWide(line) + L"\n").c_str());
  } catch (...) {
    OutputDebugStringA("Zapdock: failure caught (its text could not be converted)\n");
  }
}

}  // namespace zd
