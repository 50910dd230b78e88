// What a server's version page says: whether it is genuine, the latest
// version, and the SHA-256 and signature of its setup.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/crypto.h"

namespace zd {

inline constexpr char kVersionOpen[] = "<!--svs___";
inline constexpr char kVersionClose[] = "___svs-->";
inline constexpr char kSha256Open[] = "<!--svh___";
inline constexpr char kSha256Close[] = "___svh-->";
inline constexpr char kSignatureOpen[] = "<!--svg___";
inline constexpr char kSignatureClose[] = "___svg-->";
inline constexpr char kSizeOpen[] = "<!--svz___";
inline constexpr char kSizeClose[] = "___svz-->";

// The text after the first `open` up to the first `close` after it; nullopt
// when either is missing.
std::optional<std::string> TextBetween(std::string_view page, std::string_view open,
                                       std::string_view close);

// A setup's size in bytes: decimal digits only, blanks around allowed, more
// than zero. nullopt for anything else.
std::optional<uint64_t> ParseSetupSize(std::string_view text);

// A version number as the page writes it ("3.6"): digits with at most one
// decimal point, blanks around allowed. nullopt for anything else.
std::optional<float> ParseVersionNumber(std::string_view text);

struct VersionPage {
  bool genuine = false;      // holds the server signature
  float latest = 1.0f;       // 1.0 when the page holds no number
  std::string version_text;  // as the page writes it, blanks trimmed; empty when absent
  std::optional<Sha256Digest> sha256;
  std::optional<uint64_t> setup_size;  // bytes
  std::optional<Ed25519Signature> signature;
};

VersionPage ReadVersionPage(std::string_view page, std::string_view server_signature);

// The newer-version rule: more than 0.001 above the running version.
bool IsNewerVersion(float latest, float running);

}  // namespace zd
