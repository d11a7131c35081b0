#include "modbus/SocketLayer.h"
#include "monitor/RegisterImage.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/MonitorWindow.h"
#include "tests/support/Wine.h"
#include "widgets/PanelButton.h"

#include <QPointer>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>

namespace {

using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;

const QString Target = QStringLiteral("127.0.0.77");

// A device of the test's own on <address>:502 whose registers 0..200, read as 1000..1200,
// all hold value.
struct FilledDevice : LoopbackDevice {
    FilledDevice(const char* address, std::uint16_t value) : LoopbackDevice(address) {
        for (std::uint16_t a = 0; a <= 200; ++a)
            registers.write(a, value);
    }
};

// Resolves dotted quads only: any name is "not found", so no query leaves the machine.
std::optional<std::uint32_t> resolveQuadsOnly(std::string_view host) {
    if (const auto quad = parseDottedQuad(host)) {
        std::uint32_t address = 0; // in network byte order, as the bytes of the quad
        std::memcpy(&address, quad->data(), quad->size());
        return address;
    }
    SocketLayer::setLastError(SocketLayer::ResolverErrorBase + 1);
    return std::nullopt;
}

class TargetTest : public testing::Test {
  protected:
    explicit TargetTest(const QString& target = Target) : window(target) {
        SocketLayer::setResolver(resolveQuadsOnly);
    }
    ~TargetTest() override { SocketLayer::setResolver({}); }

    // The input dialog is answered with input (nothing: "Abbrechen"); duringMessage runs
    // while a message box is open, as the operator would take time to read it.
    void answerDialogs(std::optional<QString> input, std::function<void()> duringMessage = {}) {
        dialogs.cancelInput = !input;
        dialogs.inputAnswer = input.value_or(QString());
        dialogs.whileOpen = std::move(duringMessage);
    }

    void clickTargetPanel() { QTest::mouseClick(window->IP_Panel, Qt::LeftButton); }
    std::string messages() const { return window.messages().toStdString(); } // for the matchers
    bool panelGreen() const { return window->IP_Panel->color() == PanelButton::green(); }
    bool panelButtonFace() const {
        return window->IP_Panel->color() == window->IP_Panel->palette().color(QPalette::Button);
    }

    void startCyclicReading() {
        QTest::mouseClick(window->Read_cyclic_Panel, Qt::LeftButton);
        ASSERT_TRUE(Cyclic);
    }

    MonitorWindow window;
    DialogRecorder dialogs;
    const QList<DialogRecorder::Shown>& shown = dialogs.shown;
};

TEST_F(TargetTest, OpensGreenForAnAddressThatResolves) {
    EXPECT_EQ(window->IP_Panel->caption(), QStringLiteral("IP = 127.0.0.77"));
    EXPECT_TRUE(UdpBus->Ready());
    EXPECT_TRUE(panelGreen());
}

TEST_F(TargetTest, CancelChangesNothing) {
    const QPointer<TUDP_ModBus> before = UdpBus.get();
    answerDialogs(std::nullopt);
    clickTargetPanel();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].kind, DialogRecorder::Kind::Input);
    EXPECT_EQ(shown[0].title, QStringLiteral("neue Ziel IP - Adr."));
    EXPECT_EQ(shown[0].text, QStringLiteral("bitte eingeben"));
    EXPECT_EQ(shown[0].value, Target);
    EXPECT_EQ(TargetIP, Target);
    EXPECT_EQ(UdpBus.get(), before);
    EXPECT_EQ(messages(), "");
}

TEST_F(TargetTest, SameAddressWithBlanksAroundChangesNothing) {
    const QPointer<TUDP_ModBus> before = UdpBus.get();
    for (const char* typed : {"127.0.0.77", "  127.0.0.77 ", "\t127.0.0.77\r\n"}) {
        answerDialogs(QString::fromLatin1(typed));
        clickTargetPanel();
        EXPECT_EQ(TargetIP, Target) << typed;
    }
    EXPECT_EQ(UdpBus.get(), before);
    EXPECT_EQ(window->IP_Panel->caption(), QStringLiteral("IP = 127.0.0.77"));
    EXPECT_TRUE(panelGreen());
    EXPECT_EQ(messages(), "");
}

TEST_F(TargetTest, NewAddressReplacesTheClient) {
    const QPointer<TUDP_ModBus> before = UdpBus.get();
    answerDialogs(QStringLiteral(" 127.0.0.78\t"));
    clickTargetPanel();
    EXPECT_EQ(TargetIP, QStringLiteral("127.0.0.78"));
    EXPECT_EQ(window->IP_Panel->caption(), QStringLiteral("IP = 127.0.0.78"));
    EXPECT_TRUE(before.isNull()); // released
    EXPECT_TRUE(UdpBus->Ready());
    EXPECT_TRUE(panelGreen());
    EXPECT_EQ(messages(), "neue IP = 127.0.0.78\n");
}

TEST_F(TargetTest, UnresolvableNameLeavesThePanelButtonFace) {
    const QPointer<TUDP_ModBus> before = UdpBus.get();
    bool panelShownFirst = false;
    answerDialogs(QStringLiteral("no.such.device"), [&] {
        panelShownFirst = window->IP_Panel->caption() == QStringLiteral("IP = no.such.device") &&
                          panelButtonFace();
    });
    clickTargetPanel();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1].kind, DialogRecorder::Kind::Message);
    EXPECT_EQ(shown[1].text, QStringLiteral("Adresse von  \"no.such.device\"  nicht gefunden."));
    EXPECT_TRUE(panelShownFirst);
    EXPECT_EQ(TargetIP, QStringLiteral("no.such.device"));
    EXPECT_TRUE(before.isNull()); // released
    EXPECT_FALSE(UdpBus->Ready());
    EXPECT_TRUE(panelButtonFace());
    EXPECT_THAT(messages(), EndsWith("\nneue IP = no.such.device\n"));
}

// The reading tests bind devices; each has addresses of its own, as tests run in parallel.
class CyclicChangeTest : public TargetTest {
  protected:
    CyclicChangeTest() : TargetTest(QStringLiteral("127.0.0.80")) {}
};

TEST_F(CyclicChangeTest, ReadingGoesOnThroughTheNewClient) {
    if (underWine()) GTEST_SKIP() << "Wine binds every address of port 502: one device only";
    FilledDevice oldDevice("127.0.0.80", 0x1111);
    FilledDevice newDevice("127.0.0.81", 0x2222);
    startCyclicReading();
    ASSERT_TRUE(QTest::qWaitFor([&] { return oldDevice.serve() >= 2; }, 3000));

    answerDialogs(QStringLiteral("127.0.0.81"));
    clickTargetPanel();
    // A whole pass answered by the new device: its answers reach the registered handlers.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            newDevice.serve();
            return RegImage.at(1000) == 0x2222 && RegImage.at(1200) == 0x2222;
        },
        3000));
    const int oldRequests = oldDevice.serve();
    const int newRequests = newDevice.serve();
    QTest::qWait(400);
    EXPECT_EQ(oldDevice.serve(), oldRequests);
    EXPECT_GT(newDevice.serve(), newRequests);

    EXPECT_TRUE(Cyclic);
    EXPECT_TRUE(panelGreen());
    EXPECT_THAT(messages(), Not(HasSubstr("neue IP = "))); // silent while cyclic
    EXPECT_THAT(window.errors().toStdString(), Not(HasSubstr("unInitialisiert")));
}

class NotFoundWhileReadingTest : public TargetTest {
  protected:
    NotFoundWhileReadingTest() : TargetTest(QStringLiteral("127.0.0.82")) {}
};

TEST_F(NotFoundWhileReadingTest, RequestsUnderTheBoxGoThroughTheOldClient) {
    FilledDevice oldDevice("127.0.0.82", 0x1111);
    startCyclicReading();
    ASSERT_TRUE(QTest::qWaitFor([&] { return oldDevice.serve() >= 1; }, 3000));

    const QPointer<TUDP_ModBus> before = UdpBus.get();
    bool oldServedUnderBox = false;
    int requestsUnderBox = 0;
    answerDialogs(QStringLiteral("no.such.device"), [&] {
        oldServedUnderBox = !before.isNull() && UdpBus.get() == before;
        const int requestsBefore = oldDevice.serve();
        QTest::qWait(500);
        requestsUnderBox = oldDevice.serve() - requestsBefore;
    });
    clickTargetPanel();

    EXPECT_TRUE(oldServedUnderBox);
    EXPECT_GT(requestsUnderBox, 0);
    EXPECT_TRUE(before.isNull()); // released
    EXPECT_FALSE(UdpBus->Ready());
    EXPECT_TRUE(Cyclic);
}

} // namespace
