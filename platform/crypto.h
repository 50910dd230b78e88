// SHA-256 and Ed25519 signature checks (libsodium), for the signed updates.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zd {

using Sha256Digest = std::array<uint8_t, 32>;
using Ed25519PublicKey = std::array<uint8_t, 32>;
using Ed25519Signature = std::array<uint8_t, 64>;

// SHA-256 of data given in pieces.
class Sha256 {
 public:
  Sha256();
  void Update(std::string_view data);
  Sha256Digest Finish();

 private:
  // libsodium's state, kept opaque so that its header stays out of ours.
  alignas(8) std::array<unsigned char, 128> state_{};
};

Sha256Digest Sha256Of(std::string_view data);

// True when `signature` is `key`'s Ed25519 signature of `message`. False for
// any failure, including a library that could not start.
bool VerifyEd25519(std::string_view message, const Ed25519Signature& signature,
                   const Ed25519PublicKey& key) noexcept;

// Lower-case hex of bytes, and back. Decoding takes exactly N bytes' worth of
// hex digits (either case) and nothing else.
std::string HexEncode(const uint8_t* data, size_t size);
template <size_t N>
std::string HexEncode(const std::array<uint8_t, N>& bytes) {
  return HexEncode(bytes.data(), N);
}
bool HexDecodeInto(std::string_view hex, uint8_t* out, size_t size);
template <size_t N>
std::optional<std::array<uint8_t, N>> HexDecode(std::string_view hex) {
  std::array<uint8_t, N> out{};
  if (!HexDecodeInto(hex, out.data(), N)) return std::nullopt;
  return out;
}

}  // namespace zd
