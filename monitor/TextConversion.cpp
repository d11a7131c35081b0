#include "monitor/TextConversion.h"

#include "core/RuntimeErrors.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <string>

// Both conversions scan the text themselves and leave the arithmetic to std::from_chars,
// which never looks at the C library's locale: under a German locale strtod would take a
// comma and stop at the point.

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isSign(char c) { return c == '+' || c == '-'; }

std::string_view skipBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// Advances pos over decimal digits; returns how many there were.
std::size_t skipDigits(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos])) ++pos;
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

// Decimal order of an unsigned real text that from_chars found out of range: the value lies
// below 1 exactly when its first significant digit, moved by the exponent, stands after the
// point. Exponents are clamped, which cannot change that verdict for a non-zero mantissa.
bool belowOne(std::string_view body) {
    const std::size_t e = body.find_first_of("eE");
    const std::string_view mantissa = body.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = body.substr(e + 1);
        const bool negative = digits.front() == '-';
        if (isSign(digits.front())) digits.remove_prefix(1);
        for (char c : digits) exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
        if (negative) exponent = -exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    const long long order = static_cast<long long>(point) - static_cast<long long>(firstSignificant) -
                            (firstSignificant > point ? 1 : 0) + 1;
    return order + exponent <= 0;
}

[[noreturn]] void refuseInteger(std::string_view text) { throw ConvertError(text); }

std::int32_t decimalInt(std::string_view digits, bool negative, std::string_view text) {
    std::int64_t magnitude = 0;
    for (char c : digits) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) refuseInteger(text);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) refuseInteger(text);
    return static_cast<std::int32_t>(value);
}

std::int32_t hexInt(std::string_view digits, std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        refuseInteger(text);
    return static_cast<std::int32_t>(value); // two's complement: 80000000..FFFFFFFF are negative
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
    const std::string_view number = skipBlanks(text);
    if (const std::size_t prefix = hexPrefixLength(number))
        return hexInt(number.substr(prefix), text);
    std::string_view digits = number;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && isSign(digits.front())) digits.remove_prefix(1);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit)) refuseInteger(text);
    return decimalInt(digits, negative, text);
}
