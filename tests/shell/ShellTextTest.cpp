#include "shell/AppTitle.h"
#include "shell/EventGuard.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* in;
    const char* out;
};

class ErrorBoxText : public testing::TestWithParam<TextCase> {};

TEST_P(ErrorBoxText, AddsAFullStopAfterCharactersAboveIt) {
    EXPECT_EQ(EventGuard::errorBoxText(QString::fromUtf8(GetParam().in)),
              QString::fromUtf8(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxText,
    testing::Values(TextCase{"Fehler bei Bereichsprüfung", "Fehler bei Bereichsprüfung."},
                    TextCase{"Integerüberlauf", "Integerüberlauf."},
                    TextCase{"'x' ist kein gültiger Integerwert",
                             "'x' ist kein gültiger Integerwert."},
                    TextCase{"", ""}, TextCase{"done.", "done."}, TextCase{"a-", "a-"},
                    TextCase{"a/", "a/."}, TextCase{"bis ü", "bis ü."}));

class AppTitleFromPath : public testing::TestWithParam<TextCase> {};

TEST_P(AppTitleFromPath, CutsAtFirstFullStopAndLowersTheRest) {
    EXPECT_EQ(AppTitle::fromProgramPath(QString::fromUtf8(GetParam().in)),
              QString::fromUtf8(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(Paths, AppTitleFromPath,
                         testing::Values(TextCase{"UdpRavik", "Udpravik"},
                                         TextCase{"/usr/local/bin/UdpRavik", "Udpravik"},
                                         TextCase{"C:\\Tools\\UDPRAVIK.EXE", "Udpravik"},
                                         TextCase{"./my.Tool.v2", "my"}));

} // namespace
