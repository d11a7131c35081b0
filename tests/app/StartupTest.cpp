#include "app/Startup.h"
#include "app/AppIcon.h"
#include "app/Varden.h"
#include "modbus/SocketLayer.h"
#include "monitor/MonitorState.h"
#include "shell/Dialogs.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/MonitorWindow.h"
#include "widgets/PanelButton.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int NameNotKnown = SocketLayer::ResolverErrorBase + 2;

TEST(StartupOrder, ANormalStartShowsNoBoxAndAGreenTarget) {
    DialogRecorder dialogs;
    Startup::startModules(QStringLiteral("127.0.0.131"));
    auto window = Startup::createMainWindow();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(Varden, window.get());
    EXPECT_EQ(window->IP_Panel->caption(), QStringLiteral("IP = 127.0.0.131"));
    EXPECT_EQ(window->IP_Panel->color(), PanelButton::green());
    EXPECT_FALSE(window->Timer1->isActive());
    EXPECT_FALSE(UdpBus->Timer().isActive()) << "nothing is polled before the first send";
    window.reset();
    EXPECT_EQ(Varden, nullptr);
    Startup::stopModules();
    EXPECT_EQ(UdpBus, nullptr);
}

// Before the window exists the client's reports are message boxes, one after the other.
TEST(StartupOrder, AnUnresolvableTargetIsReportedInTwoBoxesBeforeTheWindowOpens) {
    DialogRecorder dialogs;
    SocketLayer::setResolver([](std::string_view) -> std::optional<std::uint32_t> {
        SocketLayer::setLastError(NameNotKnown);
        return std::nullopt;
    });
    Startup::startModules(QStringLiteral("plc.invalid"));
    SocketLayer::setResolver({});
    ASSERT_EQ(dialogs.shown.size(), 2);
    for (const DialogRecorder::Shown& box : dialogs.shown) {
        EXPECT_EQ(box.kind, DialogRecorder::Kind::Message);
        EXPECT_EQ(box.title, QStringLiteral("Udpravik"));
    }
    EXPECT_TRUE(
        dialogs.shown[0].text.startsWith(QStringLiteral("GetHostByName..: %1=").arg(NameNotKnown)));
    EXPECT_EQ(dialogs.shown[1].text,
              QStringLiteral("Adresse von  \"plc.invalid\"  nicht gefunden."));
    auto window = Startup::createMainWindow();
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_NE(window->IP_Panel->color(), PanelButton::green());
    EXPECT_TRUE(window->Memo1->toPlainText().isEmpty());
    window.reset();
    Startup::stopModules();
}

TEST(StartupOrder, TheProgramHasItsIcon) {
    const QIcon icon = AppIcon::make();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
}

// What a right click opens: the widget's own standard context menu, its separators left out.
template <class Widget> std::string contextMenu(Widget* widget) {
    const std::unique_ptr<QMenu> menu(widget->createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator()) texts << action->text();
    return texts.join(QStringLiteral(" | ")).toStdString();
}

TEST(ToolkitTranslation, ContextMenusOfPanesAndEditsAreGerman) {
    MonitorWindow window{QStringLiteral("127.0.0.132")};
    ASSERT_EQ(contextMenu(window->Memo1),
              "&Undo\tCtrl+Z | &Redo\tCtrl+Y | Cu&t\tCtrl+X | &Copy\tCtrl+C | "
              "&Paste\tCtrl+V | Delete | Select All\tCtrl+A")
        << "Qt's own texts are English until the translation is installed";
    Startup::installToolkitTranslation();
    const std::string german =
        "&Rückgängig\tStrg+Z | Wieder&herstellen\tStrg+Y | &Ausschneiden\tStrg+X | "
        "&Kopieren\tStrg+C | Einf&ügen\tStrg+V | Löschen | Alles auswählen\tStrg+A";
    EXPECT_EQ(contextMenu(window->Memo1), german);
    EXPECT_EQ(contextMenu(window->Memo2), german);
    EXPECT_EQ(contextMenu(window->Edit1), german);
}

// The dialogs' buttons carry the program's own texts, whatever Qt's translation says.
TEST(ToolkitTranslation, LeavesTheDialogButtonsAsTheProgramNamesThem) {
    Startup::installToolkitTranslation();
    DialogRecorder dialogs;
    dialogs.cancelInput = true;
    Dialogs::showInformation(QStringLiteral("Eingabe ist ungültig"));
    Dialogs::showError(QStringLiteral("Integerüberlauf."));
    QString value = QStringLiteral("127.0.0.132");
    Dialogs::inputQuery(QStringLiteral("Ziel"), QStringLiteral("IP-Adresse"), value);
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[0].buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(dialogs.shown[1].buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(dialogs.shown[2].buttons,
              (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("OK")}));
}

} // namespace
