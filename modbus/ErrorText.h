#pragma once

#include <string_view>

// The platform's message text as the log shows it: trailing full stops and every trailing
// character up to code 32 (blanks, tabs, line breaks) cut off. Bytes of UTF-8 sequences
// are above 127 and stay.
constexpr std::string_view trimErrorText(std::string_view text) {
    while (!text.empty() && (text.back() == '.' || static_cast<unsigned char>(text.back()) <= 32))
        text.remove_suffix(1);
    return text;
}
