#include "online/update_check.h"

#include "platform/utf8.h"

namespace zd {

std::optional<UpdateOffer> DecideUpdateOffer(const SearchOutcome& outcome, const OnlineNames& names,
                                             float running_version) {
  if (!outcome.found || !outcome.page.genuine) return std::nullopt;
  const VersionPage& page = outcome.page;
  if (!IsNewerVersion(page.latest, running_version)) return std::nullopt;
  if (!page.sha256 || !page.signature || !page.setup_size || page.version_text.empty())
    return std::nullopt;
  UpdateOffer offer;
  offer.server = outcome.active_server;
  offer.download_url = outcome.active_server + names.SetupPath;
  offer.update_page_url = outcome.active_server + names.UpdatePath;
  offer.setup_file_name = names.SetupFileName;
  offer.version_text = page.version_text;
  offer.version = page.latest;
  offer.size = *page.setup_size;
  offer.sha256 = *page.sha256;
  offer.signature = *page.signature;
  return offer;
}

std::string UpdateStatement(const std::string& setup_file_name, const std::string& version_text,
                            uint64_t size, const Sha256Digest& sha256) {
  return "Zapdock update\nfile: " + setup_file_name + "\nversion: " + version_text +
         "\nsize: " + std::to_string(size) + "\nsha256: " + HexEncode(sha256) + "\n";
}

UpdateMessage MessageForFailure(UpdateFailure failure, HttpStatus http) {
  switch (failure) {
    case UpdateFailure::kNone:
    case UpdateFailure::kCancelled:
      return UpdateMessage::kNone;
    case UpdateFailure::kDownload:
      return http == HttpStatus::kBadAddress || http == HttpStatus::kHttpError
                 ? UpdateMessage::kAddressFailed
                 : UpdateMessage::kDownloadFailed;
    case UpdateFailure::kTargetBusy:
    case UpdateFailure::kDeadline:
      return UpdateMessage::kDownloadFailed;
    case UpdateFailure::kTooLarge:
    case UpdateFailure::kHashMismatch:
    case UpdateFailure::kBadSignature:
      break;
  }
  return UpdateMessage::kCheckFailed;
}

std::string UpdateTargetPath(const std::string& temp_folder, const std::string& setup_file_name) {
  std::string path = temp_folder;
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + setup_file_name;
}

bool SameFilePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size() || a.empty()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = LowerAscii(a[i]), y = LowerAscii(b[i]);
    if (x == '/') x = '\\';
    if (y == '/') y = '\\';
    if (x != y) return false;
  }
  return true;
}

std::vector<uint32_t> ProcessesStartedFrom(
    const std::vector<ProcessEntry>& processes, const std::string& path, uint32_t own_pid,
    const std::function<std::string(const std::string&)>& long_path) {
  const auto long_form = [&](const std::string& p) { return long_path ? long_path(p) : p; };
  const std::string target = long_form(path);
  std::vector<uint32_t> out;
  for (const ProcessEntry& p : processes) {
    if (p.pid != own_pid && !p.image_path.empty() && SameFilePath(long_form(p.image_path), target))
      out.push_back(p.pid);
  }
  return out;
}

UpdateResult DownloadAndVerify(const UpdateJob& job, HttpClient& http, HeldFiles& files,
                               Processes& processes, const std::atomic<bool>* cancel,
                               const DownloadProgress& progress,
                               const std::function<void(int ms)>& sleep) {
  UpdateResult result;
  const auto cancelled = [&] { return cancel && cancel->load(); };
  const auto long_path = [&processes](const std::string& p) { return processes.LongPath(p); };
  for (uint32_t pid : ProcessesStartedFrom(processes.List(), job.target_path,
                                           processes.CurrentProcessId(), long_path)) {
    if (processes.Terminate(pid, 0)) result.ended.push_back(pid);
  }
  if (sleep) sleep(job.wait_before_download_ms);
  if (cancelled()) {
    result.failure = UpdateFailure::kCancelled;
    return result;
  }
  std::unique_ptr<HeldFile> file = files.Create(job.target_path);
  if (!file) {
    result.failure = UpdateFailure::kTargetBusy;
    return result;
  }
  const auto now = job.now ? job.now : [] { return std::chrono::steady_clock::now(); };
  const auto deadline = now() + std::chrono::milliseconds(job.deadline_ms);
  bool late = false;
  Sha256 hash;
  result.http = http.Download(
      job.offer.download_url, job.timeout_ms, job.offer.size,
      [&](std::string_view piece) {
        // A server that trickles forever is stopped at the deadline.
        if (now() > deadline) {
          late = true;
          return false;
        }
        hash.Update(piece);
        return file->Write(piece);
      },
      progress, cancel);
  const auto fail = [&](UpdateFailure failure) {
    file->Discard();
    result.failure = failure;
    return std::move(result);
  };
  if (result.http == HttpStatus::kCancelled || cancelled()) return fail(UpdateFailure::kCancelled);
  if (late) return fail(UpdateFailure::kDeadline);
  if (result.http == HttpStatus::kTooLarge) return fail(UpdateFailure::kTooLarge);
  if (result.http != HttpStatus::kOk) return fail(UpdateFailure::kDownload);
  if (!file->Seal()) return fail(UpdateFailure::kDownload);
  // The hash taken while downloading says what arrived; reading the sealed
  // file back says what is on the disk now and will be started.
  Sha256 stored;
  if (!file->ReadFromStart([&](std::string_view piece) {
        stored.Update(piece);
        return true;
      })) {
    return fail(UpdateFailure::kDownload);
  }
  const Sha256Digest received = hash.Finish();
  const Sha256Digest on_disk = stored.Finish();
  if (received != job.offer.sha256 || on_disk != job.offer.sha256) {
    return fail(UpdateFailure::kHashMismatch);
  }
  const std::string statement =
      UpdateStatement(job.offer.setup_file_name, job.offer.version_text, job.offer.size, on_disk);
  if (!VerifyEd25519(statement, job.offer.signature, job.key)) {
    return fail(UpdateFailure::kBadSignature);
  }
  result.setup = std::move(file);
  return result;
}

}  // namespace zd
