// The shell's window collection (Explorer and browser windows) through COM.
// COM is initialised by the program entry on the interface thread.
#include <windows.h>
// windows.h must come first
#include <exdisp.h>
#include <oleauto.h>

#include <string_view>

#include "platform/address_scheme.h"
#include "platform/com_ptr_win.h"
#include "platform/shell_windows.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

std::string ToUtf8(const UniqueBstr& s) {
  return WideToUtf8(std::wstring_view(s.get() ? s.get() : L"", s.size()));
}

// The document's "title" property, read by name: the document may be any
// automation object, so no interface of its own is assumed.
bool ReadTitle(IDispatch* document, std::string& title) {
  wchar_t name[] = L"title";
  LPOLESTR names[] = {name};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(document->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  DISPPARAMS none{};
  UniqueVariant result;
  if (FAILED(document->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              result.get(), nullptr, nullptr))) {
    return false;
  }
  if (V_VT(result.get()) != VT_BSTR &&
      FAILED(VariantChangeType(result.get(), result.get(), 0, VT_BSTR))) {
    return false;
  }
  BSTR text = V_BSTR(result.get());
  title = WideToUtf8(std::wstring_view(text ? text : L"", text ? SysStringLen(text) : 0));
  return true;
}

enum class ItemResult { kListed, kSkipped, kUnreadable };

// Every failing call concerns this window only: the caller goes on with the
// next one.
ItemResult ReadItem(IShellWindows& windows, long index, ShellWindowItem& item) {
  VARIANT at;
  VariantInit(&at);
  V_VT(&at) = VT_I4;
  V_I4(&at) = index;
  ComPtr<IDispatch> entry;
  if (FAILED(windows.Item(at, entry.Put()))) return ItemResult::kUnreadable;
  if (!entry) return ItemResult::kSkipped;  // a window closed meanwhile

  ComPtr<IWebBrowser2> browser;
  if (FAILED(entry->QueryInterface(IID_IWebBrowser2, browser.PutVoid())) || !browser) {
    return ItemResult::kUnreadable;
  }
  UniqueBstr url;
  if (FAILED(browser->get_LocationURL(url.Put()))) return ItemResult::kUnreadable;
  if (url.size() == 0) return ItemResult::kSkipped;
  ComPtr<IDispatch> document;
  if (FAILED(browser->get_Document(document.Put()))) return ItemResult::kUnreadable;
  if (!document) return ItemResult::kSkipped;
  // Read again: the window may have moved on while its document was fetched.
  if (FAILED(browser->get_LocationURL(url.Put()))) return ItemResult::kUnreadable;

  item.location_url = ToUtf8(url);
  item.has_document = true;
  if (!IsFileAddress(item.location_url) && !ReadTitle(document.get(), item.title)) {
    // Listed without a title: no refresh registers it, and the close-time
    // snapshot still has its address.
    item.title.clear();
    return ItemResult::kUnreadable;
  }
  return ItemResult::kListed;
}

class SystemShellWindows : public ShellWindows {
 public:
  ShellWindowScan Scan() override {
    ShellWindowScan scan;
    scan.complete = false;
    ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                windows.PutVoid())) ||
        !windows) {
      return scan;
    }
    long count = 0;
    if (FAILED(windows->get_Count(&count))) return scan;
    for (long i = 0; i < count; ++i) {
      ShellWindowItem item;
      switch (ReadItem(*windows.get(), i, item)) {
        case ItemResult::kUnreadable:
          ++scan.unreadable;
          if (item.has_document) scan.items.push_back(std::move(item));
          break;
        case ItemResult::kSkipped:
          break;
        case ItemResult::kListed:
          scan.items.push_back(std::move(item));
          break;
      }
    }
    scan.complete = true;
    return scan;
  }
};

}  // namespace

std::unique_ptr<ShellWindows> MakeSystemShellWindows() {
  return std::make_unique<SystemShellWindows>();
}

}  // namespace zd
