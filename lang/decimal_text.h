// Version numbers as text: a float with one decimal, and a plain decimal
// number read back to the nearest float. Both are exact (rounding to even on
// a tie, like the standard library's fixed format) and never follow the C
// locale's decimal mark. Done in integers: the library's floating-point
// conversions cost more in the program than everything else it formats.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zd::lang {

// "3.5", "-0.0", "12.0"; "inf", "-inf", "nan" or "-nan" for those values.
std::string OneDecimal(float value);

// Digits with at most one '.' between digits ("3.6", "10", "007.5"); nothing
// else, not even a sign or blank. Empty when the text is not such a number or
// its value is too large for a float or too small to tell from zero.
std::optional<float> ParseDecimal(std::string_view text);

}  // namespace zd::lang
