#include "online/update_check.h"

#ifndef ZD_UPDATE_PUBLIC_KEY
#error "the build gives the update public key (ZD_UPDATE_PUBLIC_KEY)"
#endif

namespace zd {

Ed25519PublicKey UpdatePublicKey() {
  // Checked for form when the build is configured.
  return HexDecode<32>(ZD_UPDATE_PUBLIC_KEY).value_or(Ed25519PublicKey{});
}

bool IsTestUpdateKey() {
#ifdef ZD_UPDATE_KEY_IS_RELEASE
  return false;
#else
  return true;
#endif
}

}  // namespace zd
