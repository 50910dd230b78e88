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

bool WriteAtomicWith(Files& files, SavePrimitives& save, const std::string& path,
                     std::string_view data, const std::function<StepAction(WriteStep)>& step) {
  bool died = false;
  const auto go = [&](WriteStep s) {
    const StepAction action = step ? step(s) : StepAction::kGo;
    died = action == StepAction::kDie;
    return action == StepAction::kGo;
  };
  if (!go(WriteStep::kCreateTemp)) return false;
  // A whole leftover of an earlier save goes in first; one that cannot is
  // the only copy of its content and is not written over.
  RecoverInterruptedSave(files, path);
  const std::string temp = TempPathFor(path);
  const std::string complete = CompletePathFor(path);
  if (files.FileExists(complete)) return false;
  if (!save.CreateTemp(temp, path)) return false;
  const size_t half = data.size() / 2;
  const bool written = go(WriteStep::kWriteHalf) && save.AppendTemp(data.substr(0, half)) &&
                       go(WriteStep::kWriteRest) && save.AppendTemp(data.substr(half)) &&
                       go(WriteStep::kFlush) && save.FlushTemp();
  const bool closed = save.CloseTemp();
  if (died) return false;  // as a crash would: every file stays as it is
  const bool marked =
      closed && written && go(WriteStep::kMarkComplete) && save.Rename(temp, complete);
  if (died) return false;
  if (!marked) {
    save.Remove(temp);
    return false;
  }
  const bool replaced = go(WriteStep::kReplace) && save.PutInPlace(complete, path);
  if (died) return false;
  // The target keeps its old content; without a target the new content
  // stays whole under its second name for the next start to put in place.
  if (!replaced && files.FileExists(path)) save.Remove(complete);
  return replaced;
}

}  // namespace zd
