// The compiled-in rows of the language tables, one column per language.
// Internal to lang/: readers go through InterfaceTexts.
#pragma once

#include <span>
#include <string>

#include "lang/lang_tables.h"

namespace zd::lang::detail {

// Column of a language in the rows below: 0 zh-CN, 1 zh-TW, 2 en.
inline constexpr int kColumns = 3;

// A row of the own table that fills a named text of InterfaceTexts.
struct OwnRow {
  std::string InterfaceTexts::*field;
  const char* text[kColumns];
};

// A row of the shared table; the traditional-Chinese column is the "allneed"
// resource, not compiled in.
struct SharedRow {
  const char* zh_cn;
  const char* en;
};

std::span<const OwnRow> OwnRows();
std::span<const SharedRow, kSharedRows> SharedRows();

}  // namespace zd::lang::detail
