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
std::string CompletePathFor(const std::string& path) { return path + ".new"; }

Leftover RecoverInterruptedSave(Files& files, const std::string& path) {
  Leftover found = Leftover::kNone;
  const std::string temp = TempPathFor(path);
  if (files.FileExists(temp) && files.RemoveFile(temp)) found = Leftover::kRemoved;
  const std::string complete = CompletePathFor(path);
  if (!files.FileExists(complete)) return found;
  if (files.FileExists(path)) {
    // The target is whole (the old content or a later save's): the leftover
    // is not needed.
    return files.RemoveFile(complete) ? Leftover::kRemoved : found;
  }
  return files.RenameReplacing(complete, path) ? Leftover::kRecovered : found;
}

}  // namespace zd
