#include "monitor/TextConversion.h"

#include "core/RuntimeErrors.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>

// Both conversions scan the text themselves and leave the arithmetic to std::from_chars,
// which never looks at the C library's locale: under a German locale strtod would take a
// comma and stop at the point.

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSign(char c) {
    return c == '+' || c == '-';
}

std::string_view skipBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// Advances pos over decimal digits; returns how many there were.
std::size_t skipDigits(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return pos - start;
}

// A real split at its sign: body is the unsigned mantissa with its optional exponent.
struct RealText {
    bool negative = false;
    std::string_view body;
};

std::optional<RealText> scanReal(std::string_view text) {
    text = skipBlanks(text);
    RealText real;
    std::size_t pos = 0;
    if (pos < text.size() && isSign(text[pos])) real.negative = text[pos++] == '-';
    const std::size_t bodyStart = pos;
    std::size_t digits = skipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') digits += skipDigits(text, ++pos);
    if (digits == 0) return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        if (++pos < text.size() && isSign(text[pos])) ++pos;
        if (skipDigits(text, pos) == 0) return std::nullopt;
    }
    if (pos != text.size()) return std::nullopt;
    real.body = text.substr(bodyStart);
    return real;
}

// Whether an unsigned real text that from_chars found out of range lies below 1, i.e. is an
// underflow rather than an overflow: its first significant digit, moved by the exponent,
// stands after the point. Clamping the exponent cannot change that verdict.
bool belowOne(std::string_view body) {
    const std::size_t e = body.find_first_of("eE");
    const std::string_view mantissa = body.substr(0, e);
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    if (firstSignificant == std::string_view::npos) return true;
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = body.substr(e + 1);
        const bool negative = digits.starts_with('-');
        if (isSign(digits.front())) digits.remove_prefix(1);
        for (char c : digits)
            exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
        if (negative) exponent = -exponent;
    }
    const auto point = static_cast<long long>(std::min(mantissa.find('.'), mantissa.size()));
    const auto first = static_cast<long long>(firstSignificant);
    // The value lies in [10^(order-1), 10^order) times 10^exponent.
    const long long order = first < point ? point - first : point - first + 1;
    return order + exponent <= 0;
}

// Unsigned digits in the given base making up the whole view, within 32 bits.
std::optional<std::uint32_t> digitsValue(std::string_view digits, int base) {
    std::uint32_t value = 0;
    const char* last = digits.data() + digits.size();
    const auto [end, error] = std::from_chars(digits.data(), last, value, base);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

std::size_t hexPrefixLength(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) return 2;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) return 1;
    return 0;
}

} // namespace

std::optional<double> TextToReal(std::string_view text) {
    const std::optional<RealText> real = scanReal(text);
    if (!real) return std::nullopt;
    const char* first = real->body.data();
    const char* last = first + real->body.size();
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
        if (!belowOne(real->body)) return std::nullopt; // beyond the largest double
        value = 0.0;
    } else if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return real->negative ? -value : value;
}

std::int32_t TextToInt(std::string_view text) {
    std::string_view number = skipBlanks(text);
    if (const std::size_t prefix = hexPrefixLength(number)) {
        const std::optional<std::uint32_t> bits = digitsValue(number.substr(prefix), 16);
        if (!bits) throw ConvertError(text);
        return static_cast<std::int32_t>(*bits); // two's complement: 80000000..FFFFFFFF < 0
    }
    const bool negative = number.starts_with('-');
    if (negative || number.starts_with('+')) number.remove_prefix(1);
    const std::optional<std::uint32_t> magnitude = digitsValue(number, 10);
    if (!magnitude) throw ConvertError(text);
    const std::int64_t value = negative ? -static_cast<std::int64_t>(*magnitude) : *magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        throw ConvertError(text);
    return static_cast<std::int32_t>(value);
}
