#include "tracking/browser_address.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

// Percent-encodes every byte but the plain ones, as a browser writes a file
// address: the reference the decoder is checked against.
std::string FileAddressOf(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string address = "file:///";
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      address += '/';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.' || c == '_' || c == '~' || c == ':') {
      address += static_cast<char>(c);
    } else {
      address += '%';
      address += kHex[c >> 4];
      address += kHex[c & 15];
    }
  }
  return address;
}

TEST(BrowserAddressTest, AFileAddressDecodesToTheLocalPathItWasMadeFrom) {
  const char* paths[] = {
      "C:\\报告.pdf",
      "D:\\报告 2026\\第一章 (草稿).docx",
      "C:\\a b\\c%20d.txt",
      "C:\\100% sure#1?.html",
      "E:\\日本語\\한국어\\Ελληνικά\\emoji \xF0\x9F\x98\x80.txt",
      "C:\\",
  };
  for (const char* path : paths) {
    const std::string address = FileAddressOf(path);
    EXPECT_EQ(LocalPathOfFileAddress(address), path) << address;
    EXPECT_EQ(ClassifyBrowserAddress(address),
              (BrowserAddress{BrowserAddressKind::kLocalFile, path}))
        << address;
  }
  // The forms browsers write besides, and what names no file.
  struct Case {
    std::string address;
    std::optional<std::string> path;
  } cases[] = {
      {"file:///D:/%E6%8A%A5%E5%91%8A.pdf", "D:\\报告.pdf"},
      {"file:///C:/%e6%8a%a5.pdf", "C:\\报.pdf"},
      {"file:///C:/a.pdf#page=3", "C:\\a.pdf"},
      {"file:///C:/a.html?q=1", "C:\\a.html"},
      {"file://localhost/C:/a.txt", "C:\\a.txt"},
      {"file:///C|/a.txt", "C:\\a.txt"},
      {"file://server/share/%E6%8A%A5.txt", "\\\\server\\share\\报.txt"},
      {"file:///C:/50%/x", "C:\\50%\\x"},
      {"file:///C:/%ZZ", "C:\\%ZZ"},
      {"file:///C:/%E6%8A", std::nullopt},  // not UTF-8
      {"file:///C:/%FF.txt", std::nullopt},
      {"file:///C:/a%00.txt", std::nullopt},
      {std::string("file://ser\0ver/a.txt", 20), std::nullopt},
      {"file://", std::nullopt},
      {"https://a.example/C:/a.txt", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LocalPathOfFileAddress(c.address), c.path) << c.address;
  }
}

}  // namespace
}  // namespace zd
