#include "online/online_names.h"

#include "lang/decimal_text.h"
#include "platform/utf8.h"

namespace zd {
namespace {

// The vendor's ten servers. Five orderings spread the first requests of all
// installations over them.
constexpr const char* kServers[kServerCount] = {
    "https://s1.mrxsoft.example/",  "https://s2.mrxsoft.example/", "https://s3.mrxsoft.example/",
    "https://s4.mrxsoft.example/",  "https://s5.mrxsoft.example/", "https://s6.mrxsoft.example/",
    "https://s7.mrxsoft.example/",  "https://s8.mrxsoft.example/", "https://s9.mrxsoft.example/",
    "https://s10.mrxsoft.example/",
};
constexpr int kOrderings[kServerOrderings][kServerCount] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {2, 5, 8, 1, 4, 7, 0, 3, 6, 9}, {4, 9, 3, 8, 2, 7, 1, 6, 0, 5},
    {6, 3, 0, 7, 9, 1, 5, 8, 4, 2}, {8, 6, 4, 2, 0, 9, 7, 5, 3, 1},
};

}  // namespace

OnlineNames MakeOnlineNames(std::string_view product_key) {
  OnlineNames n;
  n.ProductCode = LowerAscii(product_key.size() > 3 ? product_key.substr(3) : std::string_view());
  n.DemoPath = "vazozod/demo/" + n.ProductCode + "/";
  n.UpdatePath = "vazozod/update/" + n.ProductCode + "/";
  n.SetupFileName = "setup" + UpperAscii(n.ProductCode) + ".exe";
  n.SetupPath = n.UpdatePath + n.SetupFileName;
  return n;
}

std::vector<std::string> ServerOrdering(int index) {
  std::vector<std::string> list;
  const int row = ((index % kServerOrderings) + kServerOrderings) % kServerOrderings;
  for (int i : kOrderings[row]) list.emplace_back(kServers[i]);
  return list;
}

std::vector<std::string> PickServerList(uint32_t random) {
  return ServerOrdering(static_cast<int>(random % kServerOrderings));
}

std::string NormalizeServerBase(std::string_view address) {
  std::string base(address);
  if (!StartsWithIgnoringAsciiCase(base, "http://") &&
      !StartsWithIgnoringAsciiCase(base, "https://")) {
    base = "http://" + base;
  }
  if (!base.ends_with('/')) base += '/';
  return base;
}

std::string FormatVersion(float version) { return lang::OneDecimal(version); }

std::string VersionPageAddress(std::string_view base, std::string_view app_key, float version) {
  return std::string(base) + "vazozod/" + std::string(app_key) + FormatVersion(version) + ".htm";
}

std::optional<std::vector<std::string>> ParseServersOption(std::string_view argument) {
  if (!argument.starts_with(kServersOption)) return std::nullopt;
  std::string_view rest = argument.substr(sizeof(kServersOption) - 1);
  std::vector<std::string> list;
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    if (!item.empty()) list.push_back(NormalizeServerBase(item));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (list.empty()) return std::nullopt;
  return list;
}

std::vector<std::string> ServersFromArguments(const std::vector<std::string>& args) {
  std::vector<std::string> servers;
  for (const std::string& arg : args) {
    if (auto list = ParseServersOption(arg)) servers = std::move(*list);
  }
  return servers;
}

bool IsHttpUrl(std::string_view address) {
  std::string_view rest;
  if (StartsWithIgnoringAsciiCase(address, "http://")) {
    rest = address.substr(7);
  } else if (StartsWithIgnoringAsciiCase(address, "https://")) {
    rest = address.substr(8);
  } else {
    return false;
  }
  // A host must follow; no control characters or blanks anywhere, which the
  // shell could read as the end of the address and the start of arguments.
  if (rest.empty() || rest.front() == '/' || rest.front() == '\\') return false;
  for (char c : address) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '\x7f') return false;
  }
  return true;
}

}  // namespace zd
