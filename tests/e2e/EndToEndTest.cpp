#include "app/Startup.h"
#include "app/Varden.h"
#include "core/HexDigits.h"
#include "modbus/SocketLayer.h"
#include "monitor/GridMapping.h"
#include "monitor/MonitorState.h"
#include "monitor/RegisterImage.h"
#include "tests/e2e/SecondClient.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/Operator.h"
#include "tests/support/PymodbusDevice.h"
#include "tests/support/TestAddress.h"
#include "widgets/PanelButton.h"
#include "widgets/StringGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace {

// Where the monitor points before the operator sets the device's address: nothing is ever
// sent there, since no test reads before the target is set.
const QString ParkedTarget = QStringLiteral("127.0.0.248");
constexpr int Patience = 10000; // ms for the device's answers to arrive

QString hex(std::uint16_t value) {
    return QString::fromStdString(hexWord(value));
}

using Operator::linesOf;

// The whole program, started through the executable's own start-up steps, against Debian's
// pymodbus serving on a loopback address of the test's own.
class EndToEnd : public testing::Test {
  protected:
    EndToEnd() : address(testAddress(240)), device(address) {
        Startup::startModules(ParkedTarget);
        window = Startup::createMainWindow();
        window->show();
        QApplication::setActiveWindow(window.get());
        (void)QTest::qWaitForWindowExposed(window.get());
    }
    ~EndToEnd() override {
        window.reset();
        Startup::stopModules();
        SocketLayer::setResolver({});
    }

    QString target() const { return QString::fromStdString(address); }

    // The operator clicks the IP panel and answers the input dialog with text.
    void enterTarget(const QString& text) {
        dialogs.inputAnswer = text;
        QTest::mouseClick(window->IP_Panel, Qt::LeftButton);
    }
    void click(QWidget* panel) { QTest::mouseClick(panel, Qt::LeftButton); }
    void enterField(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        Operator::type(text);
        Operator::press(Qt::Key_Return);
    }
    void clickCell(std::int32_t reg) {
        const GridCell cell = cellOfRegister(reg);
        Operator::clickCell(window->Grid1, cell.col, cell.row);
    }
    // A click on the box's indicator, as the operator ticks it.
    static void tick(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    QString cellOf(std::int32_t reg) const {
        const GridCell cell = cellOfRegister(reg);
        return Operator::cellText(window->Grid1, cell.col, cell.row);
    }
    // Registers first..last (device addresses first - 1000 on) hold what the device holds.
    bool showsDevice(std::int32_t first, std::int32_t last) const {
        for (std::int32_t reg = first; reg <= last; ++reg) {
            const auto value = PymodbusDevice::initialValue(static_cast<std::uint16_t>(reg - 1000));
            if (RegImage.at(reg) != value || cellOf(reg) != hex(value)) return false;
        }
        return true;
    }
    bool readerIdle() const { return !window->Timer1->isActive(); }

    std::string address;
    DialogRecorder dialogs;
    PymodbusDevice device;
    std::unique_ptr<TVarden> window;
};

TEST_F(EndToEnd, TheIpDialogSetsTheTargetAndReadOnceShowsTheDevicesRegisters) {
    enterTarget(target());
    EXPECT_EQ(window->IP_Panel->caption(), QStringLiteral("IP = ") + target());
    EXPECT_EQ(window->IP_Panel->color(), PanelButton::green());
    EXPECT_TRUE(linesOf(window->Memo1).contains(QStringLiteral("neue IP = ") + target()));

    click(window->Read_once_Panel);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return showsDevice(1000, 1200) && readerIdle(); }, Patience));
    EXPECT_EQ(RegImage.at(999), 0);
    EXPECT_EQ(RegImage.at(1201), 0);
    EXPECT_TRUE(cellOf(1201).isEmpty());
    EXPECT_TRUE(linesOf(window->Memo2).isEmpty());
    EXPECT_TRUE(
        linesOf(window->Memo1).contains(QStringLiteral("F3 Antwort: tr_id:=200   Anzahl=1")));
}

// Each change lands on the device while the monitor reads cyclically; the grid must show it
// before the reader has sent more than one pass (three requests) and a tick after the change.
TEST_F(EndToEnd, ReadCyclicShowsEveryChangeOnTheDeviceWithinAPass) {
    enterTarget(target());
    click(window->Read_cyclic_Panel);
    ASSERT_TRUE(QTest::qWaitFor([this] { return showsDevice(1000, 1200); }, Patience));

    SecondClient other(address);
    const struct {
        std::uint16_t address;
        std::uint16_t value;
    } changes[] = {{0, 0x0001}, {150, 0xBEEF}, {200, 0xFFFF}, {99, 0x0000}};
    for (const auto& change : changes) {
        SCOPED_TRACE(change.address);
        QSignalSpy requests(window->Timer1, &QTimer::timeout);
        ASSERT_TRUE(other.write(change.address, change.value));
        const std::int32_t reg = 1000 + change.address;
        ASSERT_TRUE(QTest::qWaitFor([&] { return cellOf(reg) == hex(change.value); }, Patience));
        EXPECT_EQ(RegImage.at(reg), change.value);
        EXPECT_LE(requests.count(), 4);
    }
    EXPECT_TRUE(Cyclic);
    EXPECT_TRUE(linesOf(window->Memo2).isEmpty());

    click(window->Read_cyclic_Panel);
    EXPECT_FALSE(Cyclic);
    EXPECT_TRUE(QTest::qWaitFor([this] { return readerIdle(); }, Patience));
}

TEST_F(EndToEnd, ACellWriteAndTheBitBoxesReachTheDevice) {
    enterTarget(target());
    click(window->Read_once_Panel);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return showsDevice(1000, 1200) && readerIdle(); }, Patience));
    SecondClient other(address);

    clickCell(1003);
    EXPECT_EQ(window->Label2->text(),
              QStringLiteral("REG. 1003 = 0x") + hex(PymodbusDevice::initialValue(3)));
    Operator::type(QStringLiteral("abcd"));
    Operator::press(Qt::Key_Return);
    EXPECT_EQ(cellOf(1003), QStringLiteral("ABCD"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.read(3) == 0xABCD; }, Patience));

    clickCell(1004);
    for (QCheckBox* box : window->bits())
        if (box->isChecked()) tick(box);
    tick(window->Bit15);
    tick(window->Bit0);
    click(window->Update_Button);
    EXPECT_EQ(cellOf(1004), QStringLiteral("8001"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.read(4) == 0x8001; }, Patience));

    // The echoes are logged, and the next read shows the device agreeing with the grid.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] {
            return linesOf(window->Memo1)
                .contains(QStringLiteral("F6 Antwort: tr_id:=27   Adr=4   Wert=32769"));
        },
        Patience));
    RegImage.set(1003, 0);
    RegImage.set(1004, 0);
    click(window->Read_once_Panel);
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return RegImage.at(1003) == 0xABCD && RegImage.at(1004) == 0x8001; }, Patience));
    EXPECT_TRUE(linesOf(window->Memo2).isEmpty());
}

// Registers 1000..1099 at device addresses 65500..65599 reach past the device's last
// register: it answers with exception 2, which only the error pane shows.
TEST_F(EndToEnd, AnExceptionAnswerIsOneLineInTheErrorPane) {
    enterTarget(target());
    enterField(window->Edit3, QStringLiteral("1099"));
    enterField(window->Edit4, QStringLiteral("-64500"));
    ASSERT_EQ(EndReg, 1099);
    ASSERT_EQ(RegOffset, -64500);
    const std::uint16_t before = RegImage.at(1000);
    click(window->Read_once_Panel);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !linesOf(window->Memo2).isEmpty(); }, Patience));
    QTest::qWait(100);
    EXPECT_EQ(linesOf(window->Memo2),
              QStringList{QStringLiteral("CallBack: F3_Error: tr_id:=65500   errCode=2")});
    EXPECT_TRUE(cellOf(1000).isEmpty());
    EXPECT_EQ(RegImage.at(1000), before);
    EXPECT_EQ(dialogs.shown.size(), 1) << "the input dialog only, no box";
}

// The name goes to the resolution seam, never to a name server; the next, good address works.
TEST_F(EndToEnd, AnUnresolvableTargetThenAGoodOne) {
    QStringList asked;
    SocketLayer::setResolver([&asked](std::string_view host) -> std::optional<std::uint32_t> {
        asked << QString::fromUtf8(host.data(), static_cast<qsizetype>(host.size()));
        in_addr quad{};
        if (::inet_pton(AF_INET, std::string(host).c_str(), &quad) == 1) return quad.s_addr;
        SocketLayer::setLastError(SocketLayer::ResolverErrorBase + 2);
        return std::nullopt;
    });
    enterTarget(QStringLiteral("plc.invalid"));
    EXPECT_EQ(asked, QStringList{QStringLiteral("plc.invalid")});
    ASSERT_EQ(dialogs.shown.size(), 2); // the input dialog, then the box
    EXPECT_EQ(dialogs.shown[1].kind, DialogRecorder::Kind::Message);
    EXPECT_EQ(dialogs.shown[1].text,
              QStringLiteral("Adresse von  \"plc.invalid\"  nicht gefunden."));
    EXPECT_NE(window->IP_Panel->color(), PanelButton::green());
    const QStringList messages = linesOf(window->Memo1);
    ASSERT_GE(messages.size(), 2);
    EXPECT_TRUE(messages[messages.size() - 2].startsWith(
        QStringLiteral("GetHostByName..: %1=").arg(SocketLayer::ResolverErrorBase + 2)));
    EXPECT_EQ(messages.back(), QStringLiteral("neue IP = plc.invalid"));

    click(window->Read_once_Panel);
    EXPECT_EQ(linesOf(window->Memo1).back(), QStringLiteral("set valid IP-Addr."));
    EXPECT_TRUE(readerIdle());

    enterTarget(target());
    EXPECT_EQ(window->IP_Panel->color(), PanelButton::green());
    click(window->Read_once_Panel);
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return showsDevice(1000, 1200) && readerIdle(); }, Patience));
}

} // namespace
