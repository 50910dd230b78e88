// Signs setups and writes version pages as the vendor's tooling does, for
// tests: a key pair from a seed, the page markers, the statement signed.
#pragma once

#include <sodium.h>

#include <string>

#include "online/update_check.h"
#include "online/version_page.h"
#include "platform/crypto.h"

namespace zd {

class TestSigner {
 public:
  // The key pair of a 32-byte seed given in hex; a seed of one repeated byte
  // when the hex is empty or malformed.
  explicit TestSigner(const std::string& seed_hex, unsigned char fallback = 7) {
    std::array<uint8_t, 32> seed{};
    if (!HexDecodeInto(seed_hex, seed.data(), seed.size())) seed.fill(fallback);
    crypto_sign_seed_keypair(public_key_.data(), secret_key_, seed.data());
  }
  const Ed25519PublicKey& public_key() const { return public_key_; }

  Ed25519Signature Sign(const std::string& message) const {
    Ed25519Signature sig{};
    crypto_sign_detached(sig.data(), nullptr,
                         reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                         secret_key_);
    return sig;
  }

  // The marker lines for a setup (size, SHA-256, signature), signed for
  // `version_text`; `size` stands on the page and in what is signed
  // (0: the setup's own size).
  std::string Markers(const std::string& setup, const std::string& version_text,
                      const std::string& file_name = "setupZD.exe", uint64_t size = 0) const {
    const Sha256Digest digest = Sha256Of(setup);
    if (size == 0) size = setup.size();
    return std::string(kSizeOpen) + std::to_string(size) + kSizeClose + "\n" + kSha256Open +
           HexEncode(digest) + kSha256Close + "\n" + kSignatureOpen +
           HexEncode(Sign(UpdateStatement(file_name, version_text, size, digest))) +
           kSignatureClose + "\n";
  }

  // A whole version page.
  std::string Page(const std::string& server_signature, const std::string& version_text,
                   const std::string& setup, const std::string& file_name = "setupZD.exe",
                   uint64_t size = 0) const {
    return "<html><body>\n" + server_signature + "\n" + kVersionOpen + version_text +
           kVersionClose + "\n" + Markers(setup, version_text, file_name, size) +
           "</body></html>\n";
  }

 private:
  Ed25519PublicKey public_key_{};
  unsigned char secret_key_[crypto_sign_SECRETKEYBYTES] = {};
};

}  // namespace zd
