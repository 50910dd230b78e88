// The update offer and the checked download: which version page earns an
// offer, where the setup lands, and the checks it must pass before it runs.
#pragma once

#include <atomic>
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
  Sha256Digest sha256{};
  Ed25519Signature signature{};
};

// An offer for a search that found a server whose version is newer than the
// running one and whose page carries a well-formed SHA-256 and signature.
// A page without them offers nothing: an unsigned setup is never fetched.
std::optional<UpdateOffer> DecideUpdateOffer(const SearchOutcome& outcome, const OnlineNames& names,
                                             float running_version);

// What the vendor signs for a setup: its file name, the version text of the
// page and the file's SHA-256 (scripts/zd_sign.py builds the same text).
std::string UpdateStatement(const std::string& setup_file_name, const std::string& version_text,
                            const Sha256Digest& sha256);

// The key this build accepts update setups from.
Ed25519PublicKey UpdatePublicKey();

// Where the setup is downloaded: the user's own temporary folder, which a
// standard user can write (the program's folder is not).
std::string UpdateTargetPath(const std::string& temp_folder, const std::string& setup_file_name);

// Both paths name the same file: equal ignoring ASCII case, "/" read as "\".
bool SameFilePath(const std::string& a, const std::string& b);

// Running processes started from exactly `path` (other than our own): an
// earlier setup still running from the download target.
std::vector<uint32_t> ProcessesStartedFrom(const std::vector<ProcessEntry>& processes,
                                           const std::string& path, uint32_t own_pid);

enum class UpdateFailure {
  kNone,
  kTargetBusy,
  kDownload,
  kHashMismatch,
  kBadSignature,
  kCancelled
};

struct UpdateJob {
  UpdateOffer offer;
  std::string target_path;
  Ed25519PublicKey key{};
  int timeout_ms = 30000;
  int wait_before_download_ms = 200;
};

struct UpdateResult {
  UpdateFailure failure = UpdateFailure::kNone;
  HttpStatus http = HttpStatus::kOk;
  std::vector<uint32_t> ended;  // processes ended before the download
  // The checked setup, still held against writers; only when failure is kNone.
  std::unique_ptr<HeldFile> setup;
};

// Ends earlier setups running from the target, downloads the offer's setup
// into a held file, and checks its SHA-256 and signature. A failed or
// cancelled download leaves no file behind. Runs on a worker thread.
UpdateResult DownloadAndVerify(const UpdateJob& job, HttpClient& http, HeldFiles& files,
                               Processes& processes, const std::atomic<bool>* cancel,
                               const DownloadProgress& progress,
                               const std::function<void(int ms)>& sleep);

}  // namespace zd
