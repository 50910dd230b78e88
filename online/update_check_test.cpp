#include "online/update_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>

#include "online/update_signing_for_tests.h"
#include "platform/errors.h"
#include "platform/fake_held_file.h"
#include "platform/fake_http_client.h"
#include "platform/fake_processes.h"
#include "platform/temp_dir_for_tests.h"
#include "store/doc.h"

namespace zd {
namespace {

constexpr char kSig[] = "<!--genuine-->";
const OnlineNames kNames = MakeOnlineNames(kProductKey);

SearchOutcome Found(const std::string& page) {
  SearchOutcome out;
  out.found = true;
  out.active_server = "http://s/";
  out.page = ReadVersionPage(page, kSig);
  return out;
}

TEST(UpdateOffer, OnlyANewerSignedVersionIsOffered) {
  const TestSigner signer("");
  const std::string setup = "MZ setup bytes";
  const std::string signed_36 = signer.Page(kSig, "3.6", setup);
  struct Case {
    const char* name;
    SearchOutcome outcome;
    bool offered;
  };
  const Case cases[] = {
      {"newer and signed", Found(signed_36), true},
      {"same version", Found(signer.Page(kSig, "3.5", setup)), false},
      {"older", Found(signer.Page(kSig, "3.4", setup)), false},
      {"no version marker", Found(std::string(kSig) + signer.Markers(setup, "3.6")), false},
      {"no hash or signature", Found(std::string(kSig) + "<!--svs___3.6___svs-->"), false},
      {"hash without signature",
       Found(std::string(kSig) + "<!--svs___3.6___svs--><!--svh___" + HexEncode(Sha256Of(setup)) +
             "___svh-->"),
       false},
      {"signed, without the size",
       Found(ReplaceAll(signed_36, "<!--svz___" + std::to_string(setup.size()) + "___svz-->", "")),
       false},
      {"not found", SearchOutcome{}, false},
  };
  for (const Case& c : cases) {
    const std::optional<UpdateOffer> offer = DecideUpdateOffer(c.outcome, kNames, 3.5f);
    EXPECT_EQ(offer.has_value(), c.offered) << c.name;
  }
  const UpdateOffer offer = *DecideUpdateOffer(Found(signed_36), kNames, 3.5f);
  EXPECT_EQ(offer.download_url, "http://s/vazozod/update/zd/setupZD.exe");
  EXPECT_EQ(offer.update_page_url, "http://s/vazozod/update/zd/");
  EXPECT_EQ(offer.version_text, "3.6");
  EXPECT_EQ(offer.size, setup.size());
  EXPECT_EQ(offer.sha256, Sha256Of(setup));
}

TEST(UpdateOffer, ProcessesAreMatchedByTheirFullLongPath) {
  const std::vector<ProcessEntry> running = {
      {10, "C:\\Users\\Long Name\\Temp\\setupZD.exe"},
      {11, "c:/users/LONG NAME/temp/SETUPZD.EXE"},
      {12, "D:\\Downloads\\setupZD.exe"},  // same file name, another file
      {13, "setupZD.exe"},
      {14, ""},
      {15, "C:\\Users\\LONGNA~1\\Temp\\setupZD.exe"},
      {1, "C:\\Users\\Long Name\\Temp\\setupZD.exe"},  // ourselves
  };
  // GetLongPathName as the file system would answer: 8.3 names spelt out.
  const auto long_path = [](const std::string& path) {
    return ReplaceAll(path, "LONGNA~1", "Long Name");
  };
  for (const std::string& target : {std::string("C:\\Users\\Long Name\\Temp\\setupZD.exe"),
                                    std::string("C:\\Users\\LONGNA~1\\Temp\\setupZD.exe")}) {
    EXPECT_EQ(ProcessesStartedFrom(running, target, 1, long_path),
              (std::vector<uint32_t>{10, 11, 15}))
        << target;
  }
  EXPECT_TRUE(ProcessesStartedFrom(running, "", 1, long_path).empty());
  EXPECT_EQ(UpdateTargetPath("C:\\T\\", "setupZD.exe"), "C:\\T\\setupZD.exe");
  EXPECT_EQ(UpdateTargetPath("C:\\T", "setupZD.exe"), "C:\\T\\setupZD.exe");
}

class DownloadTest : public ::testing::Test {
 protected:
  static constexpr char kTarget[] = "C:\\Users\\me\\Temp\\setupZD.exe";
  void SetUp() override {
    setup_ = std::string(300000, 'x') + "MZ";
    failures_before_ = CaughtFailureCount();
  }
  UpdateJob Job(const std::string& page) {
    UpdateJob job;
    job.offer = *DecideUpdateOffer(Found(page), kNames, 3.5f);
    job.target_path = kTarget;
    job.key = signer_.public_key();
    return job;
  }
  UpdateResult Run(const UpdateJob& job, const std::string& served,
                   HttpStatus status = HttpStatus::kOk) {
    FakeHttpClient::Answer answer;
    answer.status = status;
    answer.code = status == HttpStatus::kOk ? 200 : 0;
    answer.body = served;
    answer.piece = 65536;
    http_.Serve(job.offer.download_url, answer);
    return DownloadAndVerify(
        job, http_, files_, processes_, &cancel_,
        [this](uint64_t done, uint64_t total) {
          progress_.push_back({done, total});
        },
        [this](int ms) { slept_ += ms; });
  }

  TestSigner signer_{""};
  std::string setup_;
  FakeHttpClient http_;
  FakeHeldFiles files_;
  FakeProcesses processes_;
  std::atomic<bool> cancel_{false};
  std::vector<std::pair<uint64_t, uint64_t>> progress_;
  int slept_ = 0;
  uint64_t failures_before_ = 0;
};

TEST_F(DownloadTest, AGoodSetupStaysHeldForTheStart) {
  processes_.Add(40, "C:\\Users\\me\\Temp\\SETUPZ~1.EXE");
  processes_.long_paths["C:\\Users\\me\\Temp\\SETUPZ~1.EXE"] = kTarget;
  processes_.Add(41, "D:\\other\\setupZD.exe");
  UpdateResult r = Run(Job(signer_.Page(kSig, "3.6", setup_)), setup_);
  EXPECT_EQ(r.failure, UpdateFailure::kNone);
  ASSERT_NE(r.setup, nullptr);
  EXPECT_EQ(r.setup->path(), kTarget);
  EXPECT_EQ(r.ended, std::vector<uint32_t>{40});
  EXPECT_EQ(processes_.terminated(), std::vector<uint32_t>{40});
  EXPECT_EQ(slept_, 200);
  const FakeHeldFiles::State state = files_.Get(kTarget);
  EXPECT_TRUE(state.held && state.sealed && !state.deleted);
  EXPECT_EQ(state.content, setup_);
  EXPECT_FALSE(files_.TamperWith(kTarget, "evil")) << "held files refuse writers";
  // Progress: every piece, ending with the whole size.
  ASSERT_EQ(progress_.size(), (setup_.size() + 65535) / 65536);
  EXPECT_EQ(progress_.back(), (std::pair<uint64_t, uint64_t>(setup_.size(), setup_.size())));
  EXPECT_EQ(CaughtFailureCount(), failures_before_);
}

// Every run that ends without a good setup leaves no file behind: a failed
// check, a broken download, the deadline passed, a cancel.
TEST_F(DownloadTest, EveryFailedRunDeletesTheFile) {
  const TestSigner stranger("", 99);
  std::string tampered = setup_;
  tampered[1000] = 'y';
  const std::string good = signer_.Page(kSig, "3.6", setup_);
  const std::string size_marker = "<!--svz___" + std::to_string(setup_.size()) + "___svz-->";
  auto clock = std::chrono::steady_clock::time_point();
  const auto past_the_minute = [&clock](UpdateJob& job) {
    job.deadline_ms = 60000;
    // Every look at the clock is 20 s later: the fourth piece comes past the minute.
    job.now = [&clock] {
      clock += std::chrono::seconds(20);
      return clock;
    };
  };
  const auto cancel_on_answer = [this](UpdateJob&) {
    http_.before_answer = [this](const std::string&) { cancel_ = true; };
  };
  struct Case {
    const char* name;
    UpdateFailure failure;
    std::string page;
    std::string served;
    HttpStatus status = HttpStatus::kOk;
    std::function<void(UpdateJob&)> prepare = nullptr;
    size_t most_pieces = SIZE_MAX;  // progress reports before the end
  };
  const Case cases[] = {
      {"tampered file", UpdateFailure::kHashMismatch, good, tampered},
      {"signed by another key", UpdateFailure::kBadSignature, stranger.Page(kSig, "3.6", setup_),
       setup_},
      {"signature of another version", UpdateFailure::kBadSignature,
       std::string(kSig) + "<!--svs___3.7___svs-->" + signer_.Markers(setup_, "3.6"), setup_},
      {"signature of another file name", UpdateFailure::kBadSignature,
       std::string(kSig) + "<!--svs___3.6___svs-->" + signer_.Markers(setup_, "3.6", "x.exe"),
       setup_},
      {"the page's size is not the signed one", UpdateFailure::kBadSignature,
       ReplaceAll(good, size_marker,
                  "<!--svz___" + std::to_string(setup_.size() + 5) + "___svz-->"),
       setup_},
      {"more than the signed size", UpdateFailure::kTooLarge, good, setup_ + "x"},
      {"less than the signed size", UpdateFailure::kHashMismatch, good, setup_.substr(1)},
      {"download broken", UpdateFailure::kDownload, good, "", HttpStatus::kConnectFailed},
      {"a longer answer cut at the deadline", UpdateFailure::kDeadline, good, setup_,
       HttpStatus::kOk, past_the_minute, 3},
      {"cancelled", UpdateFailure::kCancelled, good, setup_, HttpStatus::kOk, cancel_on_answer},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cancel_ = false;
    http_.before_answer = nullptr;
    progress_.clear();
    UpdateJob job = Job(c.page);
    if (c.prepare) c.prepare(job);
    const UpdateResult r = Run(job, c.served, c.status);
    EXPECT_EQ(r.failure, c.failure);
    EXPECT_EQ(r.setup, nullptr);
    EXPECT_LE(progress_.size(), c.most_pieces);
    const FakeHeldFiles::State state = files_.Get(kTarget);
    EXPECT_TRUE(state.deleted);
    EXPECT_FALSE(state.held);
  }
}

TEST(UpdateMessages, EachFailureHasItsOwnMessage) {
  const std::tuple<UpdateFailure, HttpStatus, UpdateMessage> cases[] = {
      {UpdateFailure::kNone, HttpStatus::kOk, UpdateMessage::kNone},
      {UpdateFailure::kCancelled, HttpStatus::kCancelled, UpdateMessage::kNone},
      {UpdateFailure::kDownload, HttpStatus::kHttpError, UpdateMessage::kAddressFailed},
      {UpdateFailure::kDownload, HttpStatus::kBadAddress, UpdateMessage::kAddressFailed},
      {UpdateFailure::kDownload, HttpStatus::kConnectFailed, UpdateMessage::kDownloadFailed},
      {UpdateFailure::kDownload, HttpStatus::kTimeout, UpdateMessage::kDownloadFailed},
      {UpdateFailure::kTargetBusy, HttpStatus::kOk, UpdateMessage::kDownloadFailed},
      {UpdateFailure::kDeadline, HttpStatus::kSinkFailed, UpdateMessage::kDownloadFailed},
      {UpdateFailure::kTooLarge, HttpStatus::kTooLarge, UpdateMessage::kCheckFailed},
      {UpdateFailure::kHashMismatch, HttpStatus::kOk, UpdateMessage::kCheckFailed},
      {UpdateFailure::kBadSignature, HttpStatus::kOk, UpdateMessage::kCheckFailed},
  };
  for (const auto& [failure, http, message] : cases) {
    EXPECT_EQ(MessageForFailure(failure, http), message)
        << static_cast<int>(failure) << " " << HttpStatusName(http);
  }
}

TEST_F(DownloadTest, ABusyTargetIsLeftToItsHolder) {
  auto holder = files_.Create(kTarget);  // another download holds the target
  const UpdateResult r = Run(Job(signer_.Page(kSig, "3.6", setup_)), setup_);
  EXPECT_EQ(r.failure, UpdateFailure::kTargetBusy);
}

#ifndef _WIN32
// The signing tool and the program agree on what is signed: a page made by
// scripts/zd_sign.py passes our checks, and a change to the file does not.
TEST(UpdateSigningTool, PagesOfTheToolPassOurChecks) {
  TempDirForTests dir;
  const std::string tool = std::string(ZD_SOURCE_DIR) + "/scripts/zd_sign.py";
  const std::string prefix = dir.File("key");
  ASSERT_EQ(std::system(("/usr/bin/python3 '" + tool + "' keygen '" + prefix + "'").c_str()), 0);
  const std::string setup = "MZ\x90 a setup " + std::string(5000, 'z');
  std::ofstream(dir.File("setupZD.exe"), std::ios::binary) << setup;
  const std::string command = "/usr/bin/python3 '" + tool + "' page --key '" + prefix +
                              ".key' --version 3.6 --server-signature '" + kSig + "' '" +
                              dir.File("setupZD.exe") + "' > '" + dir.File("page.htm") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream page_in(dir.File("page.htm"));
  const std::string page((std::istreambuf_iterator<char>(page_in)), {});
  std::ifstream pub_in(prefix + ".pub");
  std::string pub_hex;
  pub_in >> pub_hex;

  const std::optional<UpdateOffer> offer = DecideUpdateOffer(Found(page), kNames, 3.5f);
  ASSERT_TRUE(offer) << page;
  const auto key = HexDecode<32>(pub_hex);
  ASSERT_TRUE(key);
  const std::string statement =
      UpdateStatement(offer->setup_file_name, offer->version_text, setup.size(), Sha256Of(setup));
  EXPECT_TRUE(VerifyEd25519(statement, offer->signature, *key));
  EXPECT_EQ(offer->sha256, Sha256Of(setup));
  EXPECT_EQ(offer->size, setup.size());
  EXPECT_FALSE(VerifyEd25519(statement + " ", offer->signature, *key));
}
#endif

}  // namespace
}  // namespace zd
