#include "tests/support/DialogRecorder.h"
#include "tests/support/MonitorWindow.h"
#include "widgets/PanelButton.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString Target = QStringLiteral("127.0.0.70");
const QString Invalid = QStringLiteral("Eingabe ist ungültig");

enum class Field { Start, End, Offset };

QLineEdit* edit(TVarden& window, Field field) {
    switch (field) {
    case Field::Start:
        return window.Edit1;
    case Field::End:
        return window.Edit3;
    case Field::Offset:
        return window.Edit4;
    }
    return nullptr;
}

void typeInto(QLineEdit* field, const QString& text) {
    field->clear();
    QTest::keyClicks(field, text);
}

void enterInto(QLineEdit* field, const QString& text) {
    typeInto(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

struct Values {
    std::int32_t start, end, offset;
    bool operator==(const Values&) const = default;
};

Values inForce() {
    return {StartReg, EndReg, RegOffset};
}

void PrintTo(const Values& v, std::ostream* os) {
    *os << "{" << v.start << ", " << v.end << ", " << v.offset << "}";
}

struct EntryCase {
    const char* name;
    Values before;
    Field field;
    const char* typed;
    Values after;
    const char* box;       // the information box's text, or nullptr when accepted
    const char* fieldText; // what the field shows afterwards
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << '"' << c.typed << '"';
}

class EntryTest : public testing::TestWithParam<EntryCase> {};

TEST_P(EntryTest, EnterAcceptsOrRefusesAndRestores) {
    const EntryCase& c = GetParam();
    MonitorWindow window(Target);
    DialogRecorder dialogs;
    StartReg = c.before.start;
    EndReg = c.before.end;
    RegOffset = c.before.offset;
    QLineEdit* field = edit(*window, c.field);

    enterInto(field, QString::fromUtf8(c.typed));

    EXPECT_EQ(inForce(), c.after);
    EXPECT_EQ(field->text(), QString::fromUtf8(c.fieldText));
    if (c.box) {
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.shown[0].kind, DialogRecorder::Kind::Information);
        EXPECT_EQ(dialogs.shown[0].text, QString::fromUtf8(c.box));
    } else {
        EXPECT_TRUE(dialogs.shown.isEmpty());
    }
}

const char* const Accepted = nullptr;
constexpr Values Defaults{1000, 1200, 1000};

// A few rows per field show the window applying the rules: an accepted value takes effect
// rounded, a refused one or a conversion error brings the box and the value in force back.
// The rules and the conversions have their full tables of their own.
INSTANTIATE_TEST_SUITE_P(Start, EntryTest,
                         testing::Values(EntryCase{"RoundsUpTo32000",
                                                   {1000, 32000, 1000},
                                                   Field::Start,
                                                   "31999.7",
                                                   {32000, 32000, 1000},
                                                   Accepted,
                                                   "31999.7"},
                                         EntryCase{"BelowOffset",
                                                   {1100, 1200, 1000},
                                                   Field::Start,
                                                   "999.6",
                                                   {1100, 1200, 1000},
                                                   "Eingabe ist ungültig",
                                                   "1100"},
                                         EntryCase{"TrailingBlank", Defaults, Field::Start, "1100 ",
                                                   Defaults, "Eingabe ist ungültig", "1000"}),
                         [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    End, EntryTest,
    testing::Values(
        EntryCase{
            "Exactly32000", Defaults, Field::End, "32000", {1000, 32000, 1000}, Accepted, "32000"},
        EntryCase{"Above32000", Defaults, Field::End, "32000.4", Defaults, "Eingabe ist ungültig",
                  "1200"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Offset, EntryTest,
    testing::Values(
        EntryCase{"Dollar", Defaults, Field::Offset, "$10", {1000, 1200, 16}, Accepted, "$10"},
        EntryCase{"AboveStart",
                  {1000, 1200, 990},
                  Field::Offset,
                  "1001",
                  {1000, 1200, 990},
                  "Offset muss <= StartRegister sein.",
                  "990"},
        EntryCase{"NotAnInteger",
                  {1000, 1200, 990},
                  Field::Offset,
                  " 12.5",
                  {1000, 1200, 990},
                  " 12.5  ist keine gültige Zahl",
                  "990"}),
    [](const auto& info) { return info.param.name; });

TEST(Entry, KeypadEnterActsLikeReturn) {
    MonitorWindow window(Target);
    DialogRecorder dialogs;
    for (auto [field, text] :
         {std::pair{window->Edit3, "1300"}, {window->Edit1, "1100"}, {window->Edit4, "-7"}}) {
        typeInto(field, QString::fromLatin1(text));
        QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
    }
    EXPECT_EQ(inForce(), (Values{1100, 1300, -7}));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// Typing and leaving a field takes nothing; a refusal then rewrites only its own field.
TEST(Entry, OnlyEnterTakesAFieldAndARefusalRewritesOnlyItsOwn) {
    MonitorWindow window(Target);
    DialogRecorder dialogs;
    typeInto(window->Edit1, QStringLiteral("1100"));
    typeInto(window->Edit3, QStringLiteral("1500"));
    typeInto(window->Edit4, QStringLiteral("xyz"));
    QTest::keyClick(window->Edit4, Qt::Key_Tab);
    EXPECT_EQ(inForce(), Defaults);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    enterInto(window->Edit1, QStringLiteral("abc"));
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("1000"));
    EXPECT_EQ(window->Edit3->text(), QStringLiteral("1500"));
    EXPECT_EQ(window->Edit4->text(), QStringLiteral("xyz"));
    EXPECT_EQ(inForce(), Defaults);
}

} // namespace
