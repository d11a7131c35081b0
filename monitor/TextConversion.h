#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Conversions of typed text to numbers, independent of the C library's locale.

// A decimal real: leading blanks, optional sign, digits with at most one point, optional
// exponent, nothing after. Empty when the text does not follow that form.
std::optional<double> TextToReal(std::string_view text);

// A 32-bit integer, decimal or hexadecimal ($, x, X, 0x, 0X). Raises ConvertError naming
// the whole text when it is not one.
std::int32_t TextToInt(std::string_view text);
