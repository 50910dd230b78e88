#include "platform/files.h"

namespace zd {

bool RetryWhileBusy(const std::function<Attempt()>& attempt,
                    const std::function<void(int)>& sleep_ms) {
  for (int retry = 0;; ++retry) {
    switch (attempt()) {
      case Attempt::kDone:
        return true;
      case Attempt::kFailed:
        return false;
      case Attempt::kBusy:
        break;
    }
    if (retry == kBusyRetries) return false;
    if (sleep_ms) sleep_ms(kBusyRetryDelayMs);
  }
}

std::string TempPathFor(const std::string& path) { return path + ".tmp"; }

}  // namespace zd
