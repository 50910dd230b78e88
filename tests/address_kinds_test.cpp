// An address's kind is read from the scheme at its start, the same way by
// every part that decides on it: the shell-window scan, the registration,
// the grouping and the two ways of opening a document.
#include <gtest/gtest.h>

#include "launch/open_docs.h"
#include "platform/fake_shell_launcher.h"
#include "tracking/discovery.h"
#include "tracking/doc_kinds.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

class AddressKindsTest : public testing_support::TrackerTest {};

TEST_F(AddressKindsTest, TheSchemeAtTheStartDecidesAndNothingFurtherOn) {
  struct Case {
    const char* address;
    bool folder;       // a "file:///" address
    bool web;          // opened by the shell as it stands, never asked about
    bool local;        // a local path: asked about before it is opened
    const char* root;  // its group
  };
  const Case cases[] = {
      {"http://h.example/?u=file:///C:/Windows", false, true, false, "h.example"},
      {"https://h.example/r?next=file:///D:/x&b=http:", false, true, false, "h.example"},
      {"HTTP://Host.example/a", false, true, false, "Host.example"},
      {"  hTTpS://h.example", false, true, false, "h.example"},
      {"file:///C:/Work/Proj", true, false, false, "C:\\Work"},
      {"FILE:///D:/Music/2024?a=http://h/", true, false, false, "D:\\Music"},
      {"C:\\Saved http:\\page.html", false, false, true, ""},
      {"D:\\mirror\\http://h.example\\index.html", false, false, true, ""},
      {"D:\\notes\\file:///C:\\x.txt", false, false, true, ""},
      {"C:\\Program Files\\x\\x.exe", false, false, true, ""},
      {"www.example.com/?u=http://x", false, false, false, ""},
      {"ftp://files.example/pub", false, false, false, "files.example"},
      {"about:blank", false, false, false, ""},
  };
  FakeShellLauncher launcher;
  MemoryMirror box;
  DocList recent{&box};
  DocOpener opener(launcher, recent, {});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(IsFileAddress(c.address), c.folder);
    EXPECT_EQ(IsWebAddress(c.address), c.web);
    EXPECT_EQ(Trim(GetDocRoot(c.address)), c.root);

    FakeShellWindows windows;
    windows.AddWindow(c.address, "title");
    const std::vector<FoundDoc> found = ScanShellWindows(windows).found;
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, c.folder ? DocKind::kFolder : DocKind::kWeb);

    const size_t before = store.docs.size();
    EXPECT_EQ(tracker->AddMyDoc(FoundDoc{c.address, "title", "", DocKind::kWeb}, ""),
              *c.root != '\0');
    if (store.docs.size() > before) {
      EXPECT_EQ(store.docs.back().doctype, c.folder ? DocKind::kFolder : DocKind::kWeb);
    }

    launcher.ClearLog();
    opener.OpenDocPath(c.address, false);
    EXPECT_EQ(launcher.queries().empty(), c.web) << "opening a path";
    launcher.ClearLog();
    opener.OpenAndRecordDoc(c.address, "title");
    EXPECT_EQ(!launcher.queries().empty(), c.local) << "opening a remembered document";
  }
}

}  // namespace
}  // namespace zd
