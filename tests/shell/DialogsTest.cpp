#include "shell/Dialogs.h"
#include "tests/support/DialogRecorder.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Kind = DialogRecorder::Kind;

struct BoxCase {
    const char* name;
    std::function<void(const QString&)> show;
    Kind kind;
    const char* title;
};

class RealBoxes : public testing::TestWithParam<BoxCase> {};

TEST_P(RealBoxes, ShowTheirTitleIconTextAndOneOk) {
    DialogRecorder dialogs;
    GetParam().show(QStringLiteral("Adresse von  \"plc\"  nicht gefunden."));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, GetParam().kind);
    EXPECT_EQ(dialogs.shown[0].title, QString::fromUtf8(GetParam().title));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Adresse von  \"plc\"  nicht gefunden."));
    EXPECT_EQ(dialogs.shown[0].buttons, QStringList{QStringLiteral("OK")});
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RealBoxes,
    testing::Values(BoxCase{"Message", Dialogs::showMessage, Kind::Message, "Udpravik"},
                    BoxCase{"Information", Dialogs::showInformation, Kind::Information,
                            "Information"},
                    BoxCase{"Error", Dialogs::showError, Kind::Error, "Udpravik"}),
    [](const auto& info) { return std::string(info.param.name); });

// Keys into the open dialog, from inside its own loop, as the operator types them.
void whenModalOpens(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

TEST(RealDialogs, BoxesCloseWithEnterAndWithEscape) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        whenModalOpens([key](QWidget* box) { QTest::keyClick(box, key); });
        Dialogs::showInformation(QStringLiteral("Eingabe ist ungültig"));
    }
}

TEST(RealDialogs, InputDialogPresetsSelectsLimitsAndReturnsTheTypedText) {
    whenModalOpens([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("neue Ziel IP - Adr."));
        EXPECT_EQ(edit->selectedText(), QStringLiteral("192.0.2.1"));
        EXPECT_EQ(edit->maxLength(), 255);
        QTest::keyClicks(edit, QStringLiteral("127.0.0.1"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString value = QStringLiteral("192.0.2.1");
    EXPECT_TRUE(Dialogs::inputQuery(QStringLiteral("neue Ziel IP - Adr."),
                                    QStringLiteral("bitte eingeben"), value));
    EXPECT_EQ(value, QStringLiteral("127.0.0.1"));
}

TEST(RealDialogs, InputDialogCancelledKeepsTheValue) {
    DialogRecorder dialogs;
    dialogs.cancelInput = true;
    QString value = QStringLiteral("unchanged");
    EXPECT_FALSE(Dialogs::inputQuery(QStringLiteral("t"), QStringLiteral("p"), value));
    EXPECT_EQ(value, QStringLiteral("unchanged"));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].buttons,
              (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("OK")}));
}

} // namespace
