#include "app/Startup.h"
#include "app/AppIcon.h"
#include "app/Varden.h"
#include "modbus/SocketLayer.h"
#include "monitor/MonitorState.h"
#include "tests/support/DialogRecorder.h"
#include "widgets/PanelButton.h"

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

} // namespace
