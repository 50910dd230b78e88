#include "platform/security_win.h"

// windows.h first
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

// The process token's user, read once.
PSID UserSid() {
  static std::vector<BYTE> sid = [] {
    std::vector<BYTE> bytes;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return bytes;
    const UniqueHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
      return bytes;
    }
    const PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    const BYTE* first = static_cast<const BYTE*>(user);
    bytes.assign(first, first + GetLengthSid(user));
    return bytes;
  }();
  return sid.empty() ? nullptr : static_cast<PSID>(sid.data());
}

bool IsTrusted(PSID sid) {
  return IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
}

Owner ClassifyOwner(PSID owner) {
  if (!owner || !IsValidSid(owner)) return Owner::kUnknown;
  const PSID user = UserSid();
  if (user && EqualSid(owner, user)) return Owner::kThisUser;
  return IsTrusted(owner) ? Owner::kAdministrators : Owner::kOtherAccount;
}

// Rights that show nothing of the content and change nothing.
constexpr ACCESS_MASK kHarmless =
    SYNCHRONIZE | READ_CONTROL | FILE_READ_ATTRIBUTES | FILE_READ_EA | FILE_TRAVERSE;

bool OpenToOthers(PACL dacl, Owner owner) {
  if (!dacl) return true;  // a null list lets everyone in
  ACL_SIZE_INFORMATION info{};
  if (!GetAclInformation(dacl, &info, sizeof info, AclSizeInformation)) return true;
  const PSID user = UserSid();
  for (DWORD i = 0; i < info.AceCount; ++i) {
    void* raw = nullptr;
    if (!GetAce(dacl, i, &raw)) return true;
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    if (header->AceFlags & INHERIT_ONLY_ACE) continue;  // for what is made inside only
    switch (header->AceType) {
      case ACCESS_DENIED_ACE_TYPE:
      case ACCESS_DENIED_OBJECT_ACE_TYPE:
      case ACCESS_DENIED_CALLBACK_ACE_TYPE:
      case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
        continue;  // they only take away
      case ACCESS_ALLOWED_ACE_TYPE:
        break;
      default:
        return true;  // an entry of a kind read no further: counted against the folder
    }
    const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
    if ((ace->Mask & ~kHarmless) == 0) continue;
    const PSID sid = const_cast<DWORD*>(&ace->SidStart);
    if (user && EqualSid(sid, user)) continue;
    if (IsTrusted(sid)) continue;
    // "OWNER RIGHTS" stands for whoever owns it.
    if (owner == Owner::kThisUser && IsWellKnownSid(sid, WinCreatorOwnerRightsSid)) continue;
    return true;
  }
  return false;
}

struct LocalDeleter {
  void operator()(void* p) const { LocalFree(p); }
};
using LocalPtr = std::unique_ptr<void, LocalDeleter>;

// This user, SYSTEM and Administrators with full control, passed on to
// every file and folder made inside; nothing inherited from above.
LocalPtr PrivateDescriptor() {
  const std::wstring text = CurrentUserSidText();
  if (text.empty()) return nullptr;
  const std::wstring sddl = std::wstring(L"O:") + text + L"D:P(A;OICI;FA;;;" + text +
                            L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd,
                                                            nullptr)) {
    return nullptr;
  }
  return LocalPtr(sd);
}

// Taking a folder from Administrators needs the privilege an elevated
// administrator holds but has not switched on.
void EnableTakeOwnership() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return;
  const UniqueHandle token(raw);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueW(nullptr, SE_TAKE_OWNERSHIP_NAME, &privileges.Privileges[0].Luid)) {
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  }
}

}  // namespace

Security DescribeSecurity(PSECURITY_DESCRIPTOR sd) {
  Security security;
  PSID owner = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  PACL dacl = nullptr;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!sd || !GetSecurityDescriptorOwner(sd, &owner, &defaulted) ||
      !GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted) ||
      !GetSecurityDescriptorControl(sd, &control, &revision)) {
    return security;
  }
  security.owner = ClassifyOwner(owner);
  security.inherits = !(control & SE_DACL_PROTECTED);
  security.open = !present || OpenToOthers(dacl, security.owner);
  return security;
}

// https://learn.microsoft.com/windows/win32/api/aclapi/nf-aclapi-getnamedsecurityinfow
Security QueryPathSecurity(const std::wstring& path) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoW(const_cast<LPWSTR>(path.c_str()), SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr, &sd) != ERROR_SUCCESS) {
    return {};
  }
  const LocalPtr keep(sd);
  return DescribeSecurity(sd);
}

std::wstring CurrentUserSidText() {
  LPWSTR text = nullptr;
  const PSID user = UserSid();
  if (!user || !ConvertSidToStringSidW(user, &text)) return {};
  const LocalPtr keep(text);
  return text;
}

bool CreatePrivateFolder(const std::wstring& path) {
  const LocalPtr sd = PrivateDescriptor();
  if (!sd) return false;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, sd.get(), FALSE};
  return CreateDirectoryW(path.c_str(), &attributes) != FALSE;
}

// SetNamedSecurityInfo also brings the inherited entries of everything
// inside in line with the new list.
// https://learn.microsoft.com/windows/win32/api/aclapi/nf-aclapi-setnamedsecurityinfow
bool MakePathPrivate(const std::wstring& path, bool take_ownership) {
  const LocalPtr sd = PrivateDescriptor();
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  if (!sd || !GetSecurityDescriptorDacl(sd.get(), &present, &dacl, &defaulted) || !present) {
    return false;
  }
  const LPWSTR name = const_cast<LPWSTR>(path.c_str());
  if (take_ownership) {
    // The owner first: as the owner, this user may then change the list.
    EnableTakeOwnership();
    if (SetNamedSecurityInfoW(name, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, UserSid(), nullptr,
                              nullptr, nullptr) != ERROR_SUCCESS) {
      return false;
    }
  }
  return SetNamedSecurityInfoW(name, SE_FILE_OBJECT,
                               DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                               nullptr, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

std::string CurrentAccountName() {
  wchar_t name[257] = {};
  DWORD size = 257;
  if (!GetUserNameW(name, &size) || size == 0) return {};
  return WideToUtf8(std::wstring_view(name, size - 1));
}

}  // namespace zd
