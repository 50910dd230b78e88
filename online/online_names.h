// The vendor-server names and addresses that the online services derive from
// the application key, and the server list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/program_files.h"

namespace zd {

struct OnlineNames {
  std::string ProductCode;    // the key without its first 3 characters, lower case: "zd"
  std::string DemoPath;       // "vazozod/demo/zd/"
  std::string UpdatePath;     // "vazozod/update/zd/"
  std::string SetupFileName;  // "setupZD.exe"
  std::string SetupPath;      // "vazozod/update/zd/setupZD.exe"
};

// `product_key` is the maker's prefix "MRX" followed by the product's letters.
OnlineNames MakeOnlineNames(std::string_view product_key);

// The product key of this program. The application key ("VAROV") names the
// version page and the registry key; its letters after the third ("OV") are
// not the product's, whose server folder is "zd" and setup "setupZD.exe".
inline constexpr char kProductKey[] = "MRXZD";

// A fixed text that every genuine vendor page contains.
inline constexpr char kServerSignature[] = "<!--MRX VazOzod server: Zapdock-->";

inline constexpr int kServerOrderings = 5;
inline constexpr int kServerCount = 10;
// One of the five fixed orderings of the ten vendor servers (index 0..4).
std::vector<std::string> ServerOrdering(int index);
// The ordering a start uses: `random` is any number, taken modulo five.
std::vector<std::string> PickServerList(uint32_t random);

// "http://" in front of an address that starts with neither "http://" nor
// "https://" (ignoring case), and a trailing "/" when it has none.
std::string NormalizeServerBase(std::string_view address);

// The version page of a server: base + "vazozod/" + key + "%1.1f" version + ".htm".
std::string VersionPageAddress(std::string_view base, std::string_view app_key, float version);

// A version as "%1.1f" prints it, whatever the locale.
std::string FormatVersion(float version);

// The server list given for a test run ("--servers=a,b,c"): its addresses,
// normalised; nullopt when `argument` is not that option or names none.
std::optional<std::vector<std::string>> ParseServersOption(std::string_view argument);
inline constexpr char kServersOption[] = "--servers=";
// The list of the last such option among the arguments; empty without one.
std::vector<std::string> ServersFromArguments(const std::vector<std::string>& args);

// An http:// or https:// address (ignoring case) with a host: the only kind
// of address a page may have the shell open.
bool IsHttpUrl(std::string_view address);

}  // namespace zd
