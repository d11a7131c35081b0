#include "monitor/TextConversion.h"
#include "core/RuntimeErrors.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

struct RealCase {
    const char* name;
    std::string text;
    std::optional<double> value; // nothing: the conversion fails
};

void PrintTo(const RealCase& c, std::ostream* os) {
    *os << c.name;
}

class TextToRealTest : public testing::TestWithParam<RealCase> {};

TEST_P(TextToRealTest, FollowsTheGrammar) {
    const RealCase& c = GetParam();
    const std::optional<double> value = TextToReal(c.text);
    ASSERT_EQ(value.has_value(), c.value.has_value()) << '"' << c.text << '"';
    if (c.value) {
        EXPECT_DOUBLE_EQ(*value, *c.value) << '"' << c.text << '"';
    }
}

const std::optional<double> refused;

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToRealTest,
    testing::Values(
        RealCase{"Integer", "1000", 1000}, RealCase{"Fraction", "1000.5", 1000.5},
        RealCase{"LeadingBlanks", "   1000", 1000}, RealCase{"PlusSign", "+5", 5},
        RealCase{"MinusSign", "-5", -5}, RealCase{"TrailingPoint", "1.", 1},
        RealCase{"LeadingPoint", ".5", 0.5}, RealCase{"Exponent", "1e3", 1000},
        RealCase{"UpperExponent", "1E3", 1000}, RealCase{"SignedExponent", "2.5e-1", 0.25},
        RealCase{"PlusExponent", "1e+3", 1000}, RealCase{"EverythingAtOnce", "  -.5E+1", -5},
        RealCase{"LeadingZeros", "0000001", 1}, RealCase{"TooSmallIsZero", "1e-400", 0},
        RealCase{"TooSmallLongFraction", "0." + std::string(400, '0') + "1", 0},
        RealCase{"Empty", "", refused}, RealCase{"BlanksOnly", "   ", refused},
        RealCase{"SignAlone", "-", refused}, RealCase{"TwoSigns", "+-1", refused},
        RealCase{"TrailingBlank", "1000 ", refused}, RealCase{"Comma", "1000,5", refused},
        RealCase{"TwoPoints", "1.2.3", refused}, RealCase{"PointAlone", ".", refused},
        RealCase{"ExponentWithoutMantissa", "e5", refused},
        RealCase{"ExponentWithoutDigits", "1e", refused},
        RealCase{"ExponentSignOnly", "1e+", refused},
        RealCase{"FractionalExponent", "1e3.5", refused}, RealCase{"TabIsNoBlank", "\t1", refused},
        RealCase{"InnerBlank", "1 000", refused}, RealCase{"HexPrefix", "0x10", refused},
        RealCase{"Infinity", "inf", refused}, RealCase{"NotANumber", "nan", refused},
        RealCase{"TooLarge", "1e400", refused},
        RealCase{"TooLargeDigits", "1" + std::string(400, '0'), refused},
        RealCase{"NonAsciiDigits", "\xd9\xa1", refused}),
    [](const auto& info) { return info.param.name; });

struct IntCase {
    const char* name;
    std::string text;
    std::optional<std::int32_t> value; // nothing: raises the conversion error
};

void PrintTo(const IntCase& c, std::ostream* os) {
    *os << c.name;
}

class TextToIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(TextToIntTest, FollowsTheGrammar) {
    const IntCase& c = GetParam();
    if (c.value) {
        EXPECT_EQ(TextToInt(c.text), *c.value) << '"' << c.text << '"';
    } else {
        EXPECT_THROW(TextToInt(c.text), ConvertError) << '"' << c.text << '"';
    }
}

constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max32 = std::numeric_limits<std::int32_t>::max();
const std::optional<std::int32_t> raises;

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToIntTest,
    testing::Values(
        IntCase{"Zero", "0", 0}, IntCase{"Negative", "-5", -5}, IntCase{"Plus", "+7", 7},
        IntCase{"LeadingBlanks", "  42", 42}, IntCase{"Dollar", "$10", 16},
        IntCase{"ZeroX", "0x10", 16}, IntCase{"ZeroUpperX", "0X1f", 31}, IntCase{"X", "x10", 16},
        IntCase{"UpperX", "X1F", 31}, IntCase{"BlanksBeforeHex", " $10", 16},
        IntCase{"HexAllOnes", "$FFFFFFFF", -1}, IntCase{"HexLowest", "$80000000", Min32},
        IntCase{"HexHighest", "$7FFFFFFF", Max32}, IntCase{"HexLeadingZeros", "$000000000010", 16},
        IntCase{"DecimalLeadingZeros", "0000000000000000000012", 12},
        IntCase{"Highest", "2147483647", Max32}, IntCase{"Lowest", "-2147483648", Min32},
        IntCase{"Empty", "", raises}, IntCase{"Blank", " ", raises},
        IntCase{"SignAlone", "-", raises}, IntCase{"DollarAlone", "$", raises},
        IntCase{"ZeroXAlone", "0x", raises}, IntCase{"SignBeforePrefix", "-$10", raises},
        IntCase{"PlusBeforePrefix", "+0x10", raises}, IntCase{"SignAfterPrefix", "$-1", raises},
        IntCase{"AboveHighest", "2147483648", raises},
        IntCase{"BelowLowest", "-2147483649", raises},
        IntCase{"UnsignedRangeOnly", "4294967295", raises},
        IntCase{"HexBeyond32Bits", "$100000000", raises}, IntCase{"TrailingBlank", "10 ", raises},
        IntCase{"Fraction", "1.5", raises}, IntCase{"Exponent", "1e3", raises},
        IntCase{"NotHex", "$G", raises}, IntCase{"BlankAfterPrefix", "0x 1", raises},
        IntCase{"TrailingLetter", "12a", raises}, IntCase{"TwoSigns", "--1", raises}),
    [](const auto& info) { return info.param.name; });

TEST(TextToInt, ErrorNamesTheWholeText) {
    try {
        TextToInt("  12ab");
        FAIL() << "no conversion error";
    } catch (const ConvertError& error) {
        EXPECT_STREQ(error.what(), "'  12ab' ist kein gültiger Integerwert");
    }
}

#ifdef _WIN32
// Every Windows C runtime knows its German locale by this name.
constexpr const char* GermanLocale = "German";
#else
constexpr const char* GermanLocale = "de_DE.UTF-8";
#endif

// Builds a German locale into a directory of the test's own when the system has none.
class CommaLocale {
  public:
    CommaLocale() {
        if (activate()) return;
#ifndef _WIN32
        directory =
            std::filesystem::temp_directory_path() / ("ravik-locale-" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory);
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (directory / Name).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return;
        ::setenv("LOCPATH", directory.c_str(), 1);
        activate();
#endif
    }
    ~CommaLocale() {
        std::setlocale(LC_ALL, "C");
        if (!directory.empty()) std::filesystem::remove_all(directory);
    }

    bool active() const {
        return std::string(std::localeconv()->decimal_point) == ",";
    }

  private:
    static constexpr const char* Name = GermanLocale;
    bool activate() {
        return std::setlocale(LC_ALL, Name) != nullptr && active();
    }
    std::filesystem::path directory;
};

TEST(Conversions, IgnoreACommaDecimalLocale) {
    CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "no comma-decimal locale available";
    ASSERT_EQ(std::strtod("1000,5", nullptr), 1000.5); // the trap is set

    EXPECT_EQ(TextToReal("1000.5"), 1000.5);
    EXPECT_EQ(TextToReal("2.5e-1"), 0.25);
    EXPECT_EQ(TextToReal("1000,5"), std::nullopt);
    EXPECT_EQ(TextToInt("-1000"), -1000);
    EXPECT_EQ(TextToInt("$10"), 16);
}

} // namespace
