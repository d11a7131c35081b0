#include "tests/modbus/ClientTestSupport.h"

#include "core/RuntimeErrors.h"
#include "modbus/ErrorText.h"
#include "modbus/SocketLayer.h"

#include <cerrno>
#include <climits>

namespace {

using LogLastErrorLine = ClientTest;

struct LineRow {
    const char* name;
    int code;
    QString line;
};

TEST_F(LogLastErrorLine, TextCodeAndSystemText) {
    const LineRow rows[] = {
#ifndef _WIN32 // Linux's own texts: Windows words them in the system's language
        {"NetworkUnreachable", ENETUNREACH, "Error: Send_F3..: 101=Network is unreachable"},
        {"CodeZero", 0, "Error: Send_F3..: 0=Success"},
        {"NoSystemText", 10051, "Error: Send_F3..: 10051="},
#endif
        {"LargestCode", INT_MAX, "Error: Send_F3..: 2147483647="},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clearPanes();
        SocketLayer::setLastError(row.code);
        LogLastError("Error: Send_F3..");
        EXPECT_EQ(messages(), QStringList{row.line});
        EXPECT_TRUE(errors().isEmpty());
    }
}

TEST_F(LogLastErrorLine, CodeFromTwoToTheThirtyFirstRaisesRangeErrorAndWritesNothing) {
    for (const int code : {INT_MIN, -1}) {
        SocketLayer::setLastError(code);
        EXPECT_THROW(LogLastError("x"), RangeError);
    }
    EXPECT_TRUE(messages().isEmpty());
}

struct TrimRow {
    std::string_view text;
    std::string_view trimmed;
};

TEST(ErrorTextTrim, TrailingFullStopsAndControlCharactersGo) {
    const TrimRow rows[] = {
        {"Das Netzwerk ist nicht erreichbar.\r\n", "Das Netzwerk ist nicht erreichbar"},
        {"Connection refused", "Connection refused"},
        {"Ende. \t.. ", "Ende"},
        {"...", ""},
        {"", ""},
        {"a.b", "a.b"},
        {"Größe", "Größe"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(trimErrorText(row.text), row.trimmed) << row.text;
}

} // namespace
