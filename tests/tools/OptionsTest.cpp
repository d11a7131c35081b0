#include "tools/device/Options.h"

#include <gtest/gtest.h>

namespace {

ParsedOptions parse(std::vector<std::string_view> arguments) {
    return parseOptions(arguments);
}

TEST(OptionsTest, DefaultsListenOnLoopbackPort502WithCountingValues) {
    const ParsedOptions parsed = parse({});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.address, "127.0.0.1");
    EXPECT_EQ(parsed.options.port, 502);
    EXPECT_EQ(parsed.options.values, ValuePattern::Count);
    EXPECT_FALSE(parsed.options.verbose);
    EXPECT_FALSE(parsed.options.help);
}

TEST(OptionsTest, ValuesAsNextArgumentOrAfterEquals) {
    const ParsedOptions parsed =
        parse({"--address", "127.0.0.9", "--port=1502", "--values=zeros", "--verbose"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.address, "127.0.0.9");
    EXPECT_EQ(parsed.options.port, 1502);
    EXPECT_EQ(parsed.options.values, ValuePattern::Zeros);
    EXPECT_TRUE(parsed.options.verbose);
    EXPECT_EQ(parse({"--values", "moving"}).options.values, ValuePattern::Moving);
    EXPECT_TRUE(parse({"--help"}).options.help);
}

struct Refusal {
    std::vector<std::string_view> arguments;
    const char* error;
};

TEST(OptionsTest, RefusesWhatItCannotUse) {
    const Refusal refusals[] = {
        {{"--address", "localhost"}, "not an IPv4 address: localhost"},
        {{"--address=300.1.2.3"}, "not an IPv4 address: 300.1.2.3"},
        {{"--port", "0"}, "not a port (1..65535): 0"},
        {{"--port", "65536"}, "not a port (1..65535): 65536"},
        {{"--port", "50x"}, "not a port (1..65535): 50x"},
        {{"--port", "-1"}, "not a port (1..65535): -1"},
        {{"--values", "random"}, "not a value pattern (zeros, count, moving): random"},
        {{"--port"}, "--port needs a value"},
        {{"--verbose=yes"}, "unknown option: --verbose=yes"},
        {{"-v"}, "unknown option: -v"},
        {{"127.0.0.1"}, "unknown option: 127.0.0.1"},
    };
    for (const Refusal& refusal : refusals)
        EXPECT_EQ(parse(refusal.arguments).error, refusal.error) << refusal.arguments[0];
}

TEST(OptionsTest, HelpNamesEveryOptionAndPattern) {
    for (const char* word : {"--address", "--port", "--values", "--verbose", "--help", "zeros",
                             "count", "moving", "Ctrl"})
        EXPECT_NE(helpText().find(word), std::string::npos) << word;
}

} // namespace
