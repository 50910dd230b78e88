// The real HTTP client (WinHTTP) and the update checks against a real server
// on 127.0.0.1, started beside this program by tests/e2e/with_update_server.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "online/server_search.h"
#include "online/update_check.h"
#include "online/update_signing_for_tests.h"
#include "platform/errors.h"
#include "platform/held_file.h"
#include "platform/http_client.h"
#include "platform/processes.h"
#include "platform/temp_dir_for_tests.h"
#include "tests/win/update_server_env.h"

namespace zd {
namespace {

// A port on which nothing listens: connections are refused at once.
constexpr char kDeadServer[] = "http://127.0.0.1:1/";
constexpr char kSig[] = "<!--MRX VazOzod server: test-->";

class WithServer : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = UpdateServerEnv::Get();
    ZD_REQUIRE_UPDATE_SERVER(env_);
    failures_before_ = CaughtFailureCount();
  }
  UpdateServerEnv env_;
  std::unique_ptr<HttpClient> http_ = MakeSystemHttpClient();
  uint64_t failures_before_ = 0;
};

TEST_F(WithServer, GetAnswersAndFailures) {
  ASSERT_TRUE(env_.Put("get/page.htm", "hello 你好"));
  struct Case {
    std::string url;
    HttpStatus status;
    int code;
    std::string body;
  };
  const Case cases[] = {
      {env_.url + "get/page.htm", HttpStatus::kOk, 200, "hello 你好"},
      {env_.url + "get/missing.htm", HttpStatus::kHttpError, 404, ""},
      {std::string(kDeadServer) + "x.htm", HttpStatus::kConnectFailed, 0, ""},
      {"ftp://127.0.0.1/x", HttpStatus::kBadAddress, 0, ""},
  };
  for (const Case& c : cases) {
    const HttpResponse r = http_->Get(c.url, 5000, 1 << 20, nullptr);
    EXPECT_EQ(r.status, c.status) << c.url << ": " << HttpStatusName(r.status);
    EXPECT_EQ(r.code, c.code) << c.url;
    EXPECT_EQ(r.body, c.body) << c.url;
  }
  EXPECT_EQ(http_->Get(env_.url + "get/page.htm", 5000, 4, nullptr).status, HttpStatus::kTooLarge);
}

TEST_F(WithServer, AServerThatNeverAnswersTimesOut) {
  const auto start = std::chrono::steady_clock::now();
  const HttpResponse r = http_->Get(env_.url + "stall/page.htm", 1000, 1 << 20, nullptr);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(r.status, HttpStatus::kTimeout) << HttpStatusName(r.status);
  EXPECT_LT(seconds, 4.0);
}

TEST_F(WithServer, SearchFindsTheServerAfterADeadOne) {
  ASSERT_TRUE(env_.Put("vazozod/VAROV3.5.htm",
                       std::string("<html>") + kSig + "<!--svs___3.6___svs--></html>"));
  SearchRequest request;
  request.servers = {kDeadServer, env_.url};
  request.app_key = "VAROV";
  request.running_version = 3.5f;
  request.server_signature = kSig;
  const SearchOutcome out = SearchServers(request, *http_, nullptr);
  ASSERT_TRUE(out.found);
  EXPECT_EQ(out.active_server, env_.url);
  EXPECT_FLOAT_EQ(out.page.latest, 3.6f);
  ASSERT_EQ(out.attempts.size(), 2u);
  EXPECT_EQ(out.attempts[0].status, HttpStatus::kConnectFailed);
  EXPECT_EQ(CaughtFailureCount(), failures_before_);
}

class DownloadWithServer : public WithServer {
 protected:
  void SetUp() override {
    WithServer::SetUp();
    setup_.assign(3 << 20, '\0');
    for (size_t i = 0; i < setup_.size(); ++i) setup_[i] = static_cast<char>(i * 7 + i / 3);
    target_ = dir_.File("setupZD.exe");
  }
  UpdateResult Run(const std::string& page, const std::string& served) {
    EXPECT_TRUE(env_.Put("vazozod/update/zd/setupZD.exe", served));
    SearchOutcome found;
    found.found = true;
    found.active_server = env_.url;
    found.page = ReadVersionPage(page, kSig);
    const std::optional<UpdateOffer> offer =
        DecideUpdateOffer(found, MakeOnlineNames(kProductKey), 3.5f);
    EXPECT_TRUE(offer);
    UpdateJob job;
    job.offer = offer.value_or(UpdateOffer{});
    job.target_path = target_;
    job.key = signer_.public_key();
    return DownloadAndVerify(
        job, *http_, *files_, *processes_, nullptr,
        [this](uint64_t done, uint64_t total) {
          progress_.push_back({done, total});
        },
        [](int ms) { Sleep(static_cast<DWORD>(ms)); });
  }
  bool TargetExists() const {
    return GetFileAttributesW(Utf8ToWide(target_).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  TempDirForTests dir_;
  std::string target_;
  std::string setup_;
  TestSigner signer_{""};
  std::unique_ptr<HeldFiles> files_ = MakeSystemHeldFiles();
  std::unique_ptr<Processes> processes_ = MakeSystemProcesses();
  std::vector<std::pair<uint64_t, uint64_t>> progress_;
};

TEST_F(DownloadWithServer, AVerifiedSetupArrivesWithProgressAndStaysLocked) {
  UpdateResult r = Run(signer_.Page(kSig, "3.6", setup_), setup_);
  ASSERT_EQ(r.failure, UpdateFailure::kNone) << HttpStatusName(r.http);
  ASSERT_NE(r.setup, nullptr);
  ASSERT_GE(progress_.size(), 3u);
  EXPECT_EQ(progress_.back(), (std::pair<uint64_t, uint64_t>(setup_.size(), setup_.size())));
  for (size_t i = 1; i < progress_.size(); ++i)
    EXPECT_GE(progress_[i].first, progress_[i - 1].first);
  // Held: nobody may write or delete it; reading is fine.
  HANDLE writer = CreateFileW(Utf8ToWide(target_).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_FALSE(DeleteFileW(Utf8ToWide(target_).c_str()));
  HANDLE reader = CreateFileW(Utf8ToWide(target_).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  r.setup.reset();
  EXPECT_TRUE(DeleteFileW(Utf8ToWide(target_).c_str())) << "let go once the setup is released";
  EXPECT_EQ(CaughtFailureCount(), failures_before_);
}

TEST_F(DownloadWithServer, TamperedOrBadlySignedSetupsAreRefusedAndDeleted) {
  std::string tampered = setup_;
  tampered[setup_.size() / 2] ^= 1;
  const TestSigner stranger("", 99);
  struct Case {
    const char* name;
    std::string page, served;
    UpdateFailure failure;
  };
  const Case cases[] = {
      {"tampered file", signer_.Page(kSig, "3.6", setup_), tampered, UpdateFailure::kHashMismatch},
      {"another key", stranger.Page(kSig, "3.6", setup_), setup_, UpdateFailure::kBadSignature},
  };
  for (const Case& c : cases) {
    UpdateResult r = Run(c.page, c.served);
    EXPECT_EQ(r.failure, c.failure) << c.name << ": " << HttpStatusName(r.http);
    EXPECT_EQ(r.setup, nullptr) << c.name;
    EXPECT_FALSE(TargetExists()) << c.name;
  }
}

}  // namespace
}  // namespace zd
