#include "lang/ui.h"

namespace zd {

std::string_view UiName(Ui part) {
  static constexpr std::string_view kNames[] = {
#define ZD_UI_NAME(name) #name,
      ZD_UI_PARTS(ZD_UI_NAME)
#undef ZD_UI_NAME
  };
  const auto i = static_cast<size_t>(part);
  return i < std::size(kNames) ? kNames[i] : std::string_view();
}

}  // namespace zd
