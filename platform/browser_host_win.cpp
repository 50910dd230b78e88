// The web browser control in an OLE container of our own: client site,
// in-place site and frame, document host (no 3-D border, own context menu
// left alone) and the ambient download control that silences script errors.
#include "platform/browser_host_win.h"

#include <windows.h>
// windows.h must come first
#include <exdispid.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <ole2.h>
#include <shlwapi.h>

#include <atomic>

#include "platform/errors.h"
#include "platform/script_text.h"
#include "platform/wide_win.h"
#include "platform/window_win.h"

namespace zd {
namespace {

constexpr wchar_t kHostClass[] = L"ZapdockBrowserHost";

// The HTML engine's document class; it can only be created where the engine is.
constexpr CLSID kClsidHtmlDocument = {
    0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

// Ambient property the control asks its site for; DLCTL_SILENT keeps script
// errors and other dialogs from ever showing.
// https://learn.microsoft.com/previous-versions/windows/internet-explorer/ie-developer/platform-apis/aa741313(v=vs.85)
constexpr DISPID kDispidAmbientDlControl = -5512;
constexpr LONG kDlctlDlImages = 0x00000010;
constexpr LONG kDlctlVideos = 0x00000020;
constexpr LONG kDlctlBgSounds = 0x00000040;
constexpr LONG kDlctlSilent = 0x40000000;

void SetObjectRects(IOleObject* object, const RECT& rect) {
  ComPtr<IOleInPlaceObject> in_place;
  if (object && SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject, in_place.PutVoid()))) {
    in_place->SetObjectRects(&rect, &rect);
  }
}

bool HtmlEngineInstalled() {
  ComPtr<IUnknown> document;
  return SUCCEEDED(CoCreateInstance(kClsidHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                    document.PutVoid())) &&
         document;
}

bool RegisterHostClass() {
  // The window procedure is replaced per window once the host exists.
  return RegisterWindowClassOnce(GetModuleHandleW(nullptr), kHostClass, DefWindowProcW,
                                 reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

// The argument at `index` of an event (DISPPARAMS holds them last first), as
// the control passes it, by value or by reference.
const VARIANT* Arg(const DISPPARAMS* params, UINT index) {
  if (!params || index >= params->cArgs) return nullptr;
  const VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
  if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
  return v;
}

std::string BstrArg(const DISPPARAMS* params, UINT index) {
  const VARIANT* v = Arg(params, index);
  if (!v) return {};
  if (v->vt == VT_BSTR && v->bstrVal) return WideToUtf8(v->bstrVal);
  if (v->vt == (VT_BSTR | VT_BYREF) && v->pbstrVal && *v->pbstrVal) {
    return WideToUtf8(*v->pbstrVal);
  }
  return {};
}

}  // namespace

// One object answers for every interface the control asks its container for.
class BrowserHost::Site final : public IOleClientSite,
                                public IOleInPlaceSite,
                                public IOleInPlaceFrame,
                                public IDocHostUIHandler,
                                public IDispatch {
 public:
  explicit Site(HWND window) : window_(window) {}

  // IUnknown
  IFACEMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *out = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      *out = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDocHostUIHandler) {
      *out = static_cast<IDocHostUIHandler*>(this);
    } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
      *out = static_cast<IDispatch*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  IFACEMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  IFACEMETHODIMP_(ULONG) Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  IFACEMETHODIMP SaveObject() override { return E_NOTIMPL; }
  IFACEMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  IFACEMETHODIMP GetContainer(IOleContainer** out) override {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  IFACEMETHODIMP ShowObject() override { return S_OK; }
  IFACEMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  IFACEMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and the frame)
  IFACEMETHODIMP GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = window_;
    return S_OK;
  }
  IFACEMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  IFACEMETHODIMP CanInPlaceActivate() override { return S_OK; }
  IFACEMETHODIMP OnInPlaceActivate() override { return S_OK; }
  IFACEMETHODIMP OnUIActivate() override { return S_OK; }
  IFACEMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
    if (frame) {
      *frame = static_cast<IOleInPlaceFrame*>(this);
      AddRef();
    }
    if (document) *document = nullptr;
    RECT client{};
    GetClientRect(window_, &client);
    if (position) *position = client;
    if (clip) *clip = client;
    if (info) {
      info->fMDIApp = FALSE;
      info->hwndFrame = GetAncestor(window_, GA_ROOT);
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  IFACEMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  IFACEMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  IFACEMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  IFACEMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  IFACEMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  IFACEMETHODIMP OnPosRectChange(LPCRECT rect) override {
    if (rect) SetObjectRects(object_, *rect);
    return S_OK;
  }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: no tool space, menus or status bar.
  IFACEMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  IFACEMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  IFACEMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  IFACEMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  IFACEMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  IFACEMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  IFACEMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  IFACEMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  IFACEMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  IFACEMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDocHostUIHandler
  IFACEMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
    return S_FALSE;  // the control's own menu
  }
  IFACEMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
    if (!info) return E_POINTER;
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_THEME;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
  }
  IFACEMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
    return S_OK;
  }
  IFACEMETHODIMP HideUI() override { return S_OK; }
  IFACEMETHODIMP UpdateUI() override { return S_OK; }
  IFACEMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  IFACEMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  IFACEMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  IFACEMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  IFACEMETHODIMP GetOptionKeyPath(LPOLESTR* out, DWORD) override {
    if (out) *out = nullptr;
    return S_FALSE;
  }
  IFACEMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  IFACEMETHODIMP GetExternal(IDispatch** out) override {
    if (out) *out = nullptr;
    return S_FALSE;
  }
  IFACEMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
    if (out) *out = nullptr;
    return S_FALSE;
  }
  IFACEMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
    if (out) *out = nullptr;
    return S_FALSE;
  }

  // IDispatch: the ambient properties, and the control's events
  // (DWebBrowserEvents2), told to the host.
  IFACEMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  IFACEMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  IFACEMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  IFACEMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override {
    if (id == kDispidAmbientDlControl) {
      if (!result) return E_POINTER;
      VariantInit(result);
      result->vt = VT_I4;
      result->lVal = kDlctlSilent | kDlctlDlImages | kDlctlVideos | kDlctlBgSounds;
      return S_OK;
    }
    if (!host_) return DISP_E_MEMBERNOTFOUND;
    // A COM callback: nothing may unwind into the control.
    try {
      switch (id) {
        case DISPID_TITLECHANGE:
          host_->TitleChanged(BstrArg(params, 0));
          return S_OK;
        case DISPID_DOCUMENTCOMPLETE: {
          const VARIANT* frame = Arg(params, 0);
          host_->DocumentComplete(frame && frame->vt == VT_DISPATCH ? frame->pdispVal : nullptr);
          return S_OK;
        }
        case DISPID_NEWWINDOW3: {
          // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
          const VARIANT* cancel = Arg(params, 1);
          if (host_->NewWindow(BstrArg(params, 4)) && cancel &&
              cancel->vt == (VT_BOOL | VT_BYREF) && cancel->pboolVal) {
            *cancel->pboolVal = VARIANT_TRUE;
          }
          return S_OK;
        }
      }
    }
    ZD_CATCH_LOG("browser events")
    return DISP_E_MEMBERNOTFOUND;
  }

  void set_object(IOleObject* object) { object_ = object; }
  void set_host(BrowserHost* host) { host_ = host; }

 private:
  ~Site() = default;

  HWND window_;
  IOleObject* object_ = nullptr;  // not held: the host owns it and outlives its use here
  BrowserHost* host_ = nullptr;   // told of the events while it lives
  std::atomic<ULONG> refs_{1};
};

namespace {

// The loaded HTML document, or nothing (get_Document answers S_FALSE while
// there is none, which is forever without an engine).
ComPtr<IHTMLDocument2> HtmlDocument(IWebBrowser2* browser) {
  ComPtr<IHTMLDocument2> html;
  if (!browser) return html;
  ComPtr<IDispatch> document;
  if (browser->get_Document(document.Put()) != S_OK || !document) return html;
  document->QueryInterface(IID_IHTMLDocument2, html.PutVoid());
  return html;
}

}  // namespace

bool BrowserHost::EngineInstalled() { return HtmlEngineInstalled(); }

std::unique_ptr<PageView> BrowserHost::MakePageView(HWND parent) {
  // Asked first: a control without an engine is not worth making.
  if (!EngineInstalled()) return nullptr;
  return PageViewWithEngine(Create(parent, RECT{0, 0, 0, 0}));
}

std::unique_ptr<BrowserHost> BrowserHost::Create(HWND parent, const RECT& bounds) {
  std::unique_ptr<BrowserHost> host(new BrowserHost());
  try {
    if (host->Embed(parent, bounds)) return host;
  }
  ZD_CATCH_LOG(__func__)
  return nullptr;
}

bool BrowserHost::Embed(HWND parent, const RECT& bounds) {
  if (!RegisterHostClass()) return false;
  window_ =
      CreateWindowExW(0, kHostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left,
                      bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                      nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return false;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BrowserHost::WndProc));

  engine_ = HtmlEngineInstalled();
  site_.Reset(new Site(window_));
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              ole_.PutVoid()))) {
    return false;
  }
  site_->set_object(ole_.get());
  if (FAILED(ole_->SetClientSite(static_cast<IOleClientSite*>(site_.get())))) return false;
  ole_->SetHostNames(L"Zapdock", nullptr);
  OleSetContainedObject(ole_.get(), TRUE);
  RECT client{};
  GetClientRect(window_, &client);
  if (FAILED(ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                          static_cast<IOleClientSite*>(site_.get()), 0, window_, &client))) {
    return false;
  }
  if (FAILED(ole_->QueryInterface(IID_IWebBrowser2, browser_.PutVoid()))) return false;
  // Belt and braces with the ambient property: no dialog from the page, ever.
  browser_->put_Silent(VARIANT_TRUE);
  Connect();
  return true;
}

void BrowserHost::Connect() {
  site_->set_host(this);
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(browser_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()))) return;
  if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, connection_.Put()))) return;
  if (FAILED(connection_->Advise(static_cast<IDispatch*>(site_.get()), &cookie_))) {
    connection_.Reset();
  }
}

IDispatch* BrowserHost::event_sink() const { return static_cast<IDispatch*>(site_.get()); }

void BrowserHost::TitleChanged(const std::string& title) {
  if (on_title_change) on_title_change(title);
}

void BrowserHost::DocumentComplete(IDispatch* frame) {
  // Frames complete too: only the top page's end counts.
  if (frame && browser_) {
    ComPtr<IUnknown> top, done;
    browser_->QueryInterface(IID_IUnknown, top.PutVoid());
    frame->QueryInterface(IID_IUnknown, done.PutVoid());
    if (top.get() != done.get()) return;
  }
  bool has_body = false;
  if (ComPtr<IHTMLDocument2> document = HtmlDocument(browser_.get())) {
    ComPtr<IHTMLElement> body;
    UniqueBstr html;
    has_body = SUCCEEDED(document->get_body(body.Put())) && body &&
               SUCCEEDED(body->get_innerHTML(html.Put())) && html.get() && *html.get();
  }
  if (on_document_complete) on_document_complete(has_body);
}

bool BrowserHost::NewWindow(const std::string& url) { return on_new_window && on_new_window(url); }

BrowserHost::~BrowserHost() {
  if (site_) site_->set_host(nullptr);
  if (connection_) connection_->Unadvise(cookie_);
  connection_.Reset();
  if (ole_) {
    ComPtr<IOleInPlaceObject> in_place;
    if (SUCCEEDED(ole_->QueryInterface(IID_IOleInPlaceObject, in_place.PutVoid()))) {
      in_place->InPlaceDeactivate();
    }
    ole_->Close(OLECLOSE_NOSAVE);
    ole_->SetClientSite(nullptr);
  }
  if (site_) site_->set_object(nullptr);
  browser_.Reset();
  ole_.Reset();
  site_.Reset();
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

LRESULT CALLBACK BrowserHost::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    auto* host = reinterpret_cast<BrowserHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (host && msg == WM_SIZE) host->FitToWindow();
  }
  ZD_CATCH_LOG(__func__)
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void BrowserHost::SetBounds(int x, int y, int width, int height) {
  MoveWindow(window_, x, y, width, height, TRUE);
}

void BrowserHost::Show(bool visible) { ShowWindow(window_, visible ? SW_SHOW : SW_HIDE); }

std::string BrowserHost::Address() {
  UniqueBstr address;
  if (!browser_ || FAILED(browser_->get_LocationURL(address.Put())) || !address.get()) return {};
  return WideToUtf8(address.get());
}

void BrowserHost::FitToWindow() {
  if (!ole_) return;
  RECT client{};
  GetClientRect(window_, &client);
  SetObjectRects(ole_.get(), client);
}

bool BrowserHost::Navigate(const std::string& url) {
  if (!browser_) return false;
  UniqueBstr address;
  *address.Put() = SysAllocString(Utf8ToWide(url).c_str());
  if (!address.get()) return false;
  UniqueVariant empty;
  return SUCCEEDED(
      browser_->Navigate(address.get(), empty.get(), empty.get(), empty.get(), empty.get()));
}

int BrowserHost::ReadyState() {
  if (!browser_) return kReadyUninitialized;
  READYSTATE state = READYSTATE_UNINITIALIZED;
  if (FAILED(browser_->get_ReadyState(&state))) return kReadyUninitialized;
  return static_cast<int>(state);
}

bool BrowserHost::HasDocument() { return static_cast<bool>(HtmlDocument(browser_.get())); }

bool BrowserHost::CallScriptFunction(const std::string& function, const std::string& argument) {
  ComPtr<IHTMLDocument2> document = HtmlDocument(browser_.get());
  if (!document) return false;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(document->get_parentWindow(window.Put())) || !window) return false;
  UniqueBstr code;
  *code.Put() = SysAllocString(Utf8ToWide(ScriptCall(function, argument)).c_str());
  UniqueBstr language;
  *language.Put() = SysAllocString(L"JavaScript");
  if (!code.get() || !language.get()) return false;
  UniqueVariant result;
  return SUCCEEDED(window->execScript(code.get(), language.get(), result.get()));
}

bool BrowserHost::LoadHtml(const std::string& html) {
  ComPtr<IHTMLDocument2> document = HtmlDocument(browser_.get());
  if (!document) return false;
  ComPtr<IPersistStreamInit> persist;
  if (FAILED(document->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()))) return false;
  // With a byte-order mark the engine reads the bytes as UTF-8 whatever the code page.
  const std::string bytes = "\xEF\xBB\xBF" + html;
  ComPtr<IStream> stream;
  stream.Reset(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<UINT>(bytes.size())));
  if (!stream) return false;
  if (FAILED(persist->InitNew())) return false;
  return SUCCEEDED(persist->Load(stream.get()));
}

}  // namespace zd
