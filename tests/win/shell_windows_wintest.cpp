// The shell-window scan through the real COM calls: against Wine's shell
// (which cannot enumerate its windows) and against a collection of our own,
// registered in place of the shell's for the duration of a test.
#include <windows.h>
// windows.h must come first
#include <exdisp.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/shell_windows.h"

namespace zd {
namespace {

// Wine's collection cannot be enumerated (Count and Item are not
// implemented): the scan must end quietly, as it must on Windows when the
// shell is not running.
TEST(SystemShellWindows, ScanEndsQuietlyWhereTheCollectionFails) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  {
    auto shell = MakeSystemShellWindows();
    for (int i = 0; i < 2; ++i) {
      const ShellWindowScan scan = shell->Scan();
      // No Explorer or browser window is open here.
      EXPECT_TRUE(scan.items.empty());
    }
  }
  OleUninitialize();
}

TEST(SystemShellWindows, ScanWithoutComIsIncompleteAndEmpty) {
  ShellWindowScan scan;
  // A thread of our own never initialised COM: the collection cannot be made.
  std::thread worker([&scan] { scan = MakeSystemShellWindows()->Scan(); });
  worker.join();
  EXPECT_FALSE(scan.complete);
  EXPECT_TRUE(scan.items.empty());
}

// ---- a collection of our own ------------------------------------------------

// Fake objects alive; the scan must release everything it was given.
int g_live = 0;
int g_title_reads = 0;

template <typename Interface>
class Fake : public Interface {
 public:
  Fake() { ++g_live; }
  virtual ~Fake() { --g_live; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (!Supports(iid)) return E_NOINTERFACE;
    *out = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

 protected:
  virtual bool Supports(REFIID iid) const { return iid == IID_IUnknown || iid == IID_IDispatch; }

 private:
  ULONG refs_ = 1;
};

// A page or folder view whose "title" is read by name.
struct DocumentSpec {
  enum Title { kText, kNoProperty, kInvokeFails, kEmpty, kNumber } title = kText;
  std::wstring text;
};

class FakeDocument : public Fake<IDispatch> {
 public:
  explicit FakeDocument(DocumentSpec spec) : spec_(std::move(spec)) {}
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (count != 1 || lstrcmpiW(names[0], L"title") != 0 ||
        spec_.title == DocumentSpec::kNoProperty) {
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = kTitleId;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    ++g_title_reads;
    if (id != kTitleId || !(flags & DISPATCH_PROPERTYGET) || !params || params->cArgs != 0 ||
        !result || spec_.title == DocumentSpec::kInvokeFails) {
      return DISP_E_MEMBERNOTFOUND;
    }
    VariantInit(result);
    if (spec_.title == DocumentSpec::kText) {
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = SysAllocString(spec_.text.c_str());
    } else if (spec_.title == DocumentSpec::kNumber) {
      V_VT(result) = VT_I4;
      V_I4(result) = 42;
    }
    return S_OK;
  }

 private:
  static constexpr DISPID kTitleId = 7;
  DocumentSpec spec_;
};

struct BrowserSpec {
  std::wstring url;
  std::wstring url_later;  // the second read, when not empty
  bool has_document = true;
  DocumentSpec document;
  bool is_browser = true;  // answers IWebBrowser2
  bool url_fails = false;
  bool document_fails = false;
};

class FakeBrowser : public Fake<IWebBrowser2> {
 public:
  explicit FakeBrowser(BrowserSpec spec) : spec_(std::move(spec)) {}
  HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* url) override {
    if (spec_.url_fails) return E_FAIL;
    const bool later = url_reads_++ > 0 && !spec_.url_later.empty();
    *url = SysAllocString((later ? spec_.url_later : spec_.url).c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Document(IDispatch** document) override {
    *document = nullptr;
    if (spec_.document_fails) return E_FAIL;
    if (!spec_.has_document) return S_FALSE;
    *document = new FakeDocument(spec_.document);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GoBack() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GoForward() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GoHome() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GoSearch() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Navigate(BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Refresh() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Refresh2(VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stop() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Application(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Parent(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Container(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_TopLevelContainer(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Type(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Left(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Left(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Top(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Top(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Width(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Width(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Height(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Height(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_LocationName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Quit() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ClientToWindow(int*, int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutProperty(BSTR, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetProperty(BSTR, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FullName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Path(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_StatusBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_StatusBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_StatusText(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_StatusText(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ToolBar(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_ToolBar(int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_MenuBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_MenuBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_FullScreen(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Navigate2(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE QueryStatusWB(OLECMDID, OLECMDF*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Offline(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Offline(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Silent(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Silent(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_RegisterAsBrowser(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_RegisterAsBrowser(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_RegisterAsDropTarget(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_RegisterAsDropTarget(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_TheaterMode(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_TheaterMode(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_AddressBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_AddressBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Resizable(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Resizable(VARIANT_BOOL) override { return E_NOTIMPL; }

 protected:
  bool Supports(REFIID iid) const override {
    return Fake::Supports(iid) ||
           (spec_.is_browser &&
            (iid == IID_IWebBrowser2 || iid == IID_IWebBrowserApp || iid == IID_IWebBrowser));
  }

 private:
  BrowserSpec spec_;
  int url_reads_ = 0;
};

// One entry of the collection: a window, nothing (closed meanwhile), or a
// failing Item call.
struct EntrySpec {
  enum Kind { kWindow, kNothing, kItemFails } kind = kWindow;
  BrowserSpec browser;
};
EntrySpec Window(BrowserSpec browser) { return {EntrySpec::kWindow, std::move(browser)}; }
EntrySpec Nothing() { return {EntrySpec::kNothing, {}}; }
EntrySpec ItemFails() { return {EntrySpec::kItemFails, {}}; }

struct CollectionSpec {
  std::vector<EntrySpec> entries;
  bool count_fails = false;
};
CollectionSpec g_collection;
std::vector<LONG> g_items_asked;

class FakeShellWindows : public Fake<IShellWindows> {
 public:
  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    if (g_collection.count_fails) return E_NOTIMPL;
    *count = static_cast<LONG>(g_collection.entries.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** item) override {
    *item = nullptr;
    if (V_VT(&index) != VT_I4) return E_INVALIDARG;
    g_items_asked.push_back(V_I4(&index));
    if (V_I4(&index) < 0 || V_I4(&index) >= static_cast<LONG>(g_collection.entries.size())) {
      return S_FALSE;
    }
    const EntrySpec& entry = g_collection.entries[V_I4(&index)];
    if (entry.kind == EntrySpec::kItemFails) return E_FAIL;
    if (entry.kind == EntrySpec::kNothing) return S_FALSE;
    *item = new FakeBrowser(entry.browser);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Register(IDispatch*, LONG, int, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RegisterPending(LONG, VARIANT*, VARIANT*, int, LONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Revoke(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnNavigate(LONG, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnActivated(LONG, VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindWindowSW(VARIANT*, VARIANT*, int, LONG*, int,
                                         IDispatch**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OnCreated(LONG, IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ProcessAttachDetach(VARIANT_BOOL) override { return E_NOTIMPL; }

 protected:
  bool Supports(REFIID iid) const override {
    return Fake::Supports(iid) || iid == IID_IShellWindows;
  }
};

class Factory : public IClassFactory {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* windows = new FakeShellWindows;
    const HRESULT hr = windows->QueryInterface(iid, out);
    windows->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

class OwnCollectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ole_ = true;
    // Found before the system's class while it is registered.
    ASSERT_EQ(CoRegisterClassObject(CLSID_ShellWindows, &factory_, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_),
              S_OK);
    g_live = 0;
    g_title_reads = 0;
    g_items_asked.clear();
    g_collection = {};
  }
  void TearDown() override {
    if (cookie_) CoRevokeClassObject(cookie_);
    if (ole_) OleUninitialize();
  }
  ShellWindowScan Scan(CollectionSpec collection) {
    g_collection = std::move(collection);
    ShellWindowScan scan = MakeSystemShellWindows()->Scan();
    EXPECT_EQ(g_live, 0) << "objects left unreleased";
    return scan;
  }

  Factory factory_;
  DWORD cookie_ = 0;
  bool ole_ = false;
};

BrowserSpec Page(std::wstring url, std::wstring title) {
  BrowserSpec spec;
  spec.url = std::move(url);
  spec.document.text = std::move(title);
  return spec;
}

std::string Describe(const std::vector<ShellWindowItem>& items) {
  std::string text;
  for (const ShellWindowItem& item : items) {
    text += item.location_url + "|" + item.title + (item.has_document ? "" : "|no document") + "\n";
  }
  return text;
}

TEST_F(OwnCollectionTest, ReadsFoldersAndPagesAndSkipsWhatHasNoAddressOrDocument) {
  BrowserSpec folder = Page(L"file:///C:/Work/Proj", L"never read");
  folder.document.title = DocumentSpec::kInvokeFails;
  BrowserSpec no_address = Page(L"", L"Blank");
  BrowserSpec no_document = Page(L"http://nodoc.example/", L"");
  no_document.has_document = false;
  BrowserSpec moved = Page(L"http://first.example/", L"Moved on");
  moved.url_later = L"http://second.example/";
  BrowserSpec untitled = Page(L"about:blank", L"");
  untitled.document.title = DocumentSpec::kEmpty;
  BrowserSpec numbered = Page(L"http://number.example/", L"");
  numbered.document.title = DocumentSpec::kNumber;

  const ShellWindowScan scan =
      Scan({{Window(folder), Nothing(), Window(Page(L"http://example.com/a", L"示例页面")),
             Window(no_address), Window(no_document), Window(moved), Window(untitled),
             Window(numbered)}});
  EXPECT_TRUE(scan.complete);
  EXPECT_EQ(Describe(scan.items),
            "file:///C:/Work/Proj|\n"
            "http://example.com/a|示例页面\n"
            "http://second.example/|Moved on\n"
            "about:blank|\n"
            "http://number.example/|42\n");
  // The folder's title is not asked for: four pages were.
  EXPECT_EQ(g_title_reads, 4);
  EXPECT_EQ(g_items_asked, (std::vector<LONG>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(OwnCollectionTest, AnEmptyCollectionIsACompleteScan) {
  const ShellWindowScan scan = Scan({});
  EXPECT_TRUE(scan.complete);
  EXPECT_TRUE(scan.items.empty());
}

TEST_F(OwnCollectionTest, ACountThatFailsEndsTheScanEmpty) {
  CollectionSpec collection{{Window(Page(L"http://a.example/", L"A"))}, true};
  const ShellWindowScan scan = Scan(collection);
  EXPECT_FALSE(scan.complete);
  EXPECT_TRUE(scan.items.empty());
  EXPECT_TRUE(g_items_asked.empty());
}

// A window that cannot be read costs only itself: the scan goes on with the
// next one. A page whose title cannot be read keeps its address, without a
// title (no refresh registers it; the close-time snapshot records it).
TEST_F(OwnCollectionTest, AnUnreadableWindowIsSkippedAndTheScanGoesOn) {
  BrowserSpec not_a_browser = Page(L"http://x.example/", L"X");
  not_a_browser.is_browser = false;
  BrowserSpec url_fails = Page(L"http://x.example/", L"X");
  url_fails.url_fails = true;
  BrowserSpec document_fails = Page(L"http://x.example/", L"X");
  document_fails.document_fails = true;
  BrowserSpec no_title = Page(L"http://x.example/", L"X");
  no_title.document.title = DocumentSpec::kNoProperty;
  BrowserSpec title_fails = Page(L"http://x.example/", L"X");
  title_fails.document.title = DocumentSpec::kInvokeFails;

  struct Case {
    const char* what;
    EntrySpec entry;
    const char* listed;  // what the unreadable window adds to the scan
  } const cases[] = {
      {"Item fails", ItemFails(), ""},
      {"not a browser", Window(not_a_browser), ""},
      {"address fails", Window(url_fails), ""},
      {"document fails", Window(document_fails), ""},
      {"no title property", Window(no_title), "http://x.example/|\n"},
      {"title fails", Window(title_fails), "http://x.example/|\n"},
  };
  for (const Case& c : cases) {
    g_items_asked.clear();
    const ShellWindowScan scan =
        Scan({{Window(Page(L"http://ok.example/", L"OK")), c.entry,
               Window(Page(L"file:///C:/Late", L"")), Window(Page(L"http://late/", L"L"))}});
    EXPECT_TRUE(scan.complete) << c.what;
    EXPECT_EQ(scan.unreadable, 1u) << c.what;
    EXPECT_EQ(Describe(scan.items), std::string("http://ok.example/|OK\n") + c.listed +
                                        "file:///C:/Late|\nhttp://late/|L\n")
        << c.what;
    EXPECT_EQ(g_items_asked, (std::vector<LONG>{0, 1, 2, 3})) << c.what;
  }
}

}  // namespace
}  // namespace zd
