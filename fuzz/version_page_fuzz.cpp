// Reading any version page: the version is the number between the markers or
// 1.0, a hash or signature is taken only when it is well formed, and no page
// passes the signature check by accident.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "online/update_check.h"
#include "online/version_page.h"

using namespace zd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  const VersionPage p = ReadVersionPage(page, "SIG");
  if (p.genuine != (page.find("SIG") != std::string::npos)) abort();
  const std::optional<std::string> text = TextBetween(page, kVersionOpen, kVersionClose);
  if (text && page.find(*text) == std::string::npos) abort();
  if (p.version_text.empty()) {
    if (p.latest != 1.0f) abort();
  } else if (const std::optional<float> v = ParseVersionNumber(p.version_text)) {
    if (p.latest != *v) abort();
    if (p.latest != std::strtof(p.version_text.c_str(), nullptr)) abort();
  } else if (p.latest != 1.0f) {
    abort();
  }
  SearchOutcome found;
  found.found = true;
  found.active_server = "http://s/";
  found.page = p;
  const std::optional<UpdateOffer> offer =
      DecideUpdateOffer(found, MakeOnlineNames(kProductKey), 3.5f);
  if (offer) {
    if (!IsNewerVersion(offer->version, 3.5f)) abort();
    if (offer->size == 0) abort();
    // A made-up page never carries a valid signature for our key.
    const std::string statement =
        UpdateStatement(offer->setup_file_name, offer->version_text, offer->size, offer->sha256);
    if (VerifyEd25519(statement, offer->signature, UpdatePublicKey())) abort();
  }
  return 0;
}
