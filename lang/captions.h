// Captions and hints of the interface's parts, by language (0 zh-CN, 1 zh-TW,
// 2 en; any other index reads as 0).
#pragma once

#include <string_view>
#include <vector>

#include "lang/ui.h"

namespace zd::lang {

// The caption of a part; empty for a part without one (separators, lists).
std::string_view CaptionOf(Ui part, int language_index);
// The hover hint of a part; empty when it has none.
std::string_view HintOf(Ui part, int language_index);
// The parts whose captions ApplyInterfaceTexts copies, in copy order.
std::vector<Ui> CopiedCaptionParts();

}  // namespace zd::lang
