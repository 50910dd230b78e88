// The update offer and the checked download: which version page earns an
// offer, where the setup lands, and the checks it must pass before it runs.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "online/online_names.h"
#include "online/server_search.h"
#include "platform/crypto.h"
#include "platform/held_file.h"
#include "platform/http_client.h"
#include "platform/processes.h"

namespace zd {

struct UpdateOffer {
  std::string server;           // the active server's base address
  std::string download_url;     // server + SetupPath
  std::string update_page_url;  // server + UpdatePath
  std::string setup_file_name;
  std::string version_text;  // as the version page writes it
  float version = 0;
  uint64_t size = 0;  // the setup's size in bytes, as signed
  Sha256Digest sha256{};
  Ed25519Signature signature{};
};

// An offer for a search that found a server whose version is newer than the
// running one and whose page carries the setup's size, a well-formed SHA-256
// and a signature. A page without them offers nothing: an unsigned setup is
// never fetched, nor one of unknown size.
std::optional<UpdateOffer> DecideUpdateOffer(const SearchOutcome& outcome, const OnlineNames& names,
                                             float running_version);

// What the vendor signs for a setup: its file name, the version text of the
// page, the file's size and its SHA-256 (scripts/zd_sign.py builds the same
// text).
std::string UpdateStatement(const std::string& setup_file_name, const std::string& version_text,
                            uint64_t size, const Sha256Digest& sha256);

// The key this build accepts update setups from.
Ed25519PublicKey UpdatePublicKey();
// The build embeds a throwaway key made when it was configured, not the
// release key: it must never pass for a release.
bool IsTestUpdateKey();

// Where the setup is downloaded: the user's own temporary folder, which a
// standard user can write (the program's folder is not).
std::string UpdateTargetPath(const std::string& temp_folder, const std::string& setup_file_name);

// Both paths name the same file: equal ignoring ASCII case, "/" read as "\".
bool SameFilePath(const std::string& a, const std::string& b);

// Running processes started from exactly `path` (other than our own): an
// earlier setup still running from the download target. Both sides are
// compared in their long form (a temporary folder may be given in 8.3 form).
std::vector<uint32_t> ProcessesStartedFrom(
    const std::vector<ProcessEntry>& processes, const std::string& path, uint32_t own_pid,
    const std::function<std::string(const std::string&)>& long_path);

enum class UpdateFailure {
  kNone,
  kTargetBusy,
  kDownload,
  kTooLarge,  // more than the signed size arrived
  kDeadline,  // the whole download took longer than allowed
  kHashMismatch,
  kBadSignature,
  kCancelled
};

// The message the user gets: each kind of failure has its own, and a
// cancel by the user none.
enum class UpdateMessage {
  kNone,
  kAddressFailed,  // the server has no such file, or the address is wrong
  kDownloadFailed,
  kCheckFailed,  // the file is not what the vendor signed
  kElevationDeclined,
  kStartFailed,
};
UpdateMessage MessageForFailure(UpdateFailure failure, HttpStatus http);

// What became of the main window when the update asked it to save and close.
enum class MainWindowClose {
  kClosed,     // saved and gone: the setup may start
  kAfterLoad,  // its start-up load is running: it closes when that ends
  kRefused,    // it keeps running
};

struct UpdateJob {
  UpdateOffer offer;
  std::string target_path;
  Ed25519PublicKey key{};
  int timeout_ms = 30000;           // each wait for the server
  int deadline_ms = 5 * 60 * 1000;  // the whole download
  int wait_before_download_ms = 200;
  // The clock the deadline is kept by; empty: the steady clock.
  std::function<std::chrono::steady_clock::time_point()> now;
};

struct UpdateResult {
  UpdateFailure failure = UpdateFailure::kNone;
  HttpStatus http = HttpStatus::kOk;
  std::vector<uint32_t> ended;  // processes ended before the download
  // The checked setup, still held against writers; only when failure is kNone.
  std::unique_ptr<HeldFile> setup;
};

// Ends earlier setups running from the target, downloads the offer's setup
// into a held file (at most its signed size, within the deadline), and checks
// its SHA-256 and signature. A failed or cancelled download leaves no file
// behind. Runs on a worker thread.
UpdateResult DownloadAndVerify(const UpdateJob& job, HttpClient& http, HeldFiles& files,
                               Processes& processes, const std::atomic<bool>* cancel,
                               const DownloadProgress& progress,
                               const std::function<void(int ms)>& sleep);

}  // namespace zd
