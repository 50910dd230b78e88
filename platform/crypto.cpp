#include "platform/crypto.h"

#include <sodium.h>

#include <cstring>

#include "platform/utf8.h"

namespace zd {
namespace {

static_assert(sizeof(crypto_hash_sha256_state) <= sizeof(std::array<unsigned char, 128>));

crypto_hash_sha256_state* State(std::array<unsigned char, 128>& storage) {
  return reinterpret_cast<crypto_hash_sha256_state*>(storage.data());
}

// sodium_init is thread-safe and idempotent; it picks the fastest code paths.
bool SodiumReady() noexcept {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

}  // namespace

Sha256::Sha256() {
  SodiumReady();
  crypto_hash_sha256_init(State(state_));
}

void Sha256::Update(std::string_view data) {
  crypto_hash_sha256_update(State(state_), reinterpret_cast<const unsigned char*>(data.data()),
                            data.size());
}

Sha256Digest Sha256::Finish() {
  Sha256Digest digest{};
  crypto_hash_sha256_final(State(state_), digest.data());
  return digest;
}

Sha256Digest Sha256Of(std::string_view data) {
  Sha256 hash;
  hash.Update(data);
  return hash.Finish();
}

bool VerifyEd25519(std::string_view message, const Ed25519Signature& signature,
                   const Ed25519PublicKey& key) noexcept {
  if (!SodiumReady()) return false;
  return crypto_sign_verify_detached(signature.data(),
                                     reinterpret_cast<const unsigned char*>(message.data()),
                                     message.size(), key.data()) == 0;
}

std::string HexEncode(const uint8_t* data, size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
  }
  return out;
}

bool HexDecodeInto(std::string_view hex, uint8_t* out, size_t size) {
  if (hex.size() != size * 2) return false;
  for (size_t i = 0; i < size; ++i) {
    const int high = HexDigitValue(hex[2 * i]), low = HexDigitValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return true;
}

}  // namespace zd
