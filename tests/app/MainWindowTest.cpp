#include "shell/Log.h"
#include "shell/LogPane.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/MonitorWindow.h"
#include "widgets/PanelButton.h"
#include "widgets/StringGrid.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString Target = QStringLiteral("127.0.0.130");

class MainWindowTest : public testing::Test {
  protected:
    DialogRecorder dialogs;
    MonitorWindow window{Target};
};

// Where each widget stands and what it says when the window opens (a null text: not
// checked).
TEST_F(MainWindowTest, OpensWithItsLayoutAndTexts) {
    TVarden& w = *window;
    const struct {
        QWidget* widget;
        QRect geometry;
        QString text;
    } rows[] = {
        {w.Memo1, {8, 8, 345, 193}, QStringLiteral("")},
        {w.Memo2, {368, 8, 353, 65}, QStringLiteral("")},
        {w.Grid1, {8, 208, 553, 345}, {}},
        {w.Edit1, {368, 160, 73, 21}, QStringLiteral("1000")},
        {w.Edit3, {464, 160, 73, 21}, QStringLiteral("1200")},
        {w.Edit4, {592, 160, 73, 21}, QStringLiteral("1000")},
        {w.BitBox, {608, 232, 89, 329}, QStringLiteral(" Reg.Bits ")},
        {w.EXIT_Button, {704, 560, 57, 33}, QStringLiteral("Exit")},
        {w.ClrGridPanel, {8, 560, 89, 33}, QStringLiteral("Clear Grid")},
        {w.Read_once_Panel, {120, 560, 95, 33}, QStringLiteral("Read once")},
        {w.Read_cyclic_Panel, {236, 560, 93, 33}, QStringLiteral("Read cyclic")},
        {w.ClrMemoPanel, {368, 88, 73, 33}, QStringLiteral("Clear Memo")},
        {w.IP_Panel, {589, 88, 132, 33}, QStringLiteral("IP = ") + Target},
        {w.Update_Button, {16, 296, 57, 25}, {}},
        {w.Bit15, {16, 24, 57, 17}, QStringLiteral("Bit15")},
        {w.Bit8, {16, 136, 49, 17}, QStringLiteral("Bit8")},
        {w.Bit7, {16, 160, 49, 17}, QStringLiteral("Bit7")},
        {w.Bit0, {16, 272, 49, 17}, QStringLiteral("Bit0")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.widget->objectName().toStdString() + " " + row.text.toStdString());
        EXPECT_EQ(row.widget->geometry(), row.geometry);
        QString text;
        if (auto* p = qobject_cast<PanelButton*>(row.widget))
            text = p->caption();
        else if (auto* e = qobject_cast<QLineEdit*>(row.widget))
            text = e->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(row.widget))
            text = b->text();
        else if (auto* g = qobject_cast<QGroupBox*>(row.widget))
            text = g->title();
        else if (auto* m = qobject_cast<QPlainTextEdit*>(row.widget))
            text = m->toPlainText();
        if (!row.text.isNull()) {
            EXPECT_EQ(text, row.text);
        }
    }
    const struct {
        QLabel* label;
        QPoint position;
        QString text;
    } labels[] = {
        {w.Label1,
         {352, 568},
         QStringLiteral("von StartRegister bis  EndRegister        max=32000")},
        {w.Label2, {584, 208}, QStringLiteral("Reg. =")},
        {w.Label3, {368, 136}, {}},
        {w.Label5, {464, 136}, {}},
        {w.Label6, {592, 136}, {}},
    };
    for (const auto& row : labels) {
        EXPECT_EQ(row.label->pos(), row.position) << row.text.toStdString();
        if (!row.text.isNull()) {
            EXPECT_EQ(row.label->text(), row.text);
        }
    }
    EXPECT_EQ(w.windowTitle(), QStringLiteral("UDP/Ravik  V1.10"));
    for (int bit = 0; bit < 16; ++bit)
        EXPECT_FALSE(w.bits()[bit]->isChecked()) << bit;
    EXPECT_FALSE(w.Timer1->isActive());
}

TEST_F(MainWindowTest, TabVisitsTheFieldsInOrderAndNeverAPanel) {
    TVarden& w = *window;
    std::vector<QWidget*> expected = {w.EXIT_Button, w.Memo2, w.Grid1, w.Edit1};
    for (int bit = 15; bit >= 0; --bit)
        expected.push_back(w.bits()[bit]);
    for (QWidget* next : {static_cast<QWidget*>(w.Update_Button), static_cast<QWidget*>(w.Edit3),
                          static_cast<QWidget*>(w.Edit4), static_cast<QWidget*>(w.Memo1)})
        expected.push_back(next);
    w.Memo1->setFocus();
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), next) << next->metaObject()->className();
    }
    EXPECT_TRUE(w.Memo1->toPlainText().isEmpty()) << "Tab must not be typed into a pane";
    QTest::keyClick(w.Memo1, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), w.Edit4);
}

TEST_F(MainWindowTest, OnlyTheGridFollowsTheWindowsWidth) {
    TVarden& w = *window;
    std::vector<std::pair<QWidget*, QRect>> before;
    for (QWidget* child : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        before.emplace_back(child, child->geometry());
    w.resize(w.width() + 100, w.height() + 50);
    for (const auto& [child, geometry] : before) {
        QRect expected = geometry;
        if (child == w.Grid1) expected.setWidth(geometry.width() + 100);
        EXPECT_EQ(child->geometry(), expected) << child->metaObject()->className();
    }
}

TEST_F(MainWindowTest, BackgroundClickRunsFormClickButLabelAndBoxClicksDoNot) {
    TVarden& w = *window;
    SelCol = 5;
    QTest::mouseClick(w.childAt(w.Label1->geometry().center()), Qt::LeftButton);
    QTest::mouseClick(w.BitBox, Qt::LeftButton, {}, QPoint(70, 10));
    QTest::mouseClick(w.Bit3, Qt::LeftButton, {}, QPoint(45, 8));
    EXPECT_EQ(SelCol, 5);
    const QPoint background(500, 100);
    ASSERT_EQ(w.childAt(background), nullptr);
    QTest::mouseClick(&w, Qt::RightButton, {}, background);
    EXPECT_EQ(SelCol, 5);
    QTest::mouseClick(&w, Qt::LeftButton, {}, background);
    EXPECT_EQ(SelCol, 0);
}

TEST_F(MainWindowTest, AReadyTargetPaintsItsPanelGreen) {
    const QImage panel = window->IP_Panel->grab().toImage();
    EXPECT_EQ(panel.pixelColor(6, 6), PanelButton::green());
}

TEST_F(MainWindowTest, PanelsReactToALeftClickOnlyAndCountADoubleClickOnce) {
    TVarden& w = *window;
    int clicks = 0;
    QObject::connect(w.ClrGridPanel, &PanelButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(w.ClrGridPanel, Qt::RightButton);
    EXPECT_EQ(clicks, 0);
    // A double-click arrives as press, release, double-click, release.
    QTest::mouseClick(w.ClrGridPanel, Qt::LeftButton);
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5),
                       w.ClrGridPanel->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                       {});
    QApplication::sendEvent(w.ClrGridPanel, &second);
    QTest::mouseRelease(w.ClrGridPanel, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(w.ClrGridPanel, Qt::LeftButton);
    QTest::mouseRelease(w.ClrGridPanel, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks, 1) << "released outside the panel";
    EXPECT_EQ(w.ClrGridPanel->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainWindowTest, ClearMemoEmptiesBothPanesAndLeavesCyclicAlone) {
    TVarden& w = *window;
    LogMsg(QStringLiteral("message"));
    LogError(QStringLiteral("error"));
    Cyclic = true;
    QTest::mouseClick(w.ClrMemoPanel, Qt::LeftButton);
    EXPECT_TRUE(w.Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(w.Memo2->toPlainText().isEmpty());
    EXPECT_TRUE(Cyclic);
}

// A flood of long lines: each pane keeps its newest whole lines within its memory budget, and
// the caret and the view stay with the newest line.
TEST_F(MainWindowTest, EachPaneKeepsItsNewestWholeLinesWithinItsMemoryBudget) {
    TVarden& w = *window;
    const QString dump = QStringLiteral(":  A5").repeated(2000);
    const qsizetype lineBytes = LogPane::BytesPerLine + LogPane::BytesPerCharacter * dump.size();
    const int entries = static_cast<int>(LogPane::BudgetBytes / lineBytes) + 100;
    for (int entry = 0; entry < entries; ++entry) {
        LogMsg(QString::number(entry) + dump);
        LogError(QString::number(entry) + dump);
    }
    for (const QPlainTextEdit* pane : {w.Memo1, w.Memo2}) {
        const QTextDocument& lines = *pane->document();
        EXPECT_LE(LogPane::bytesHeld(lines), LogPane::BudgetBytes);
        EXPECT_GT(LogPane::bytesHeld(lines), LogPane::TrimmedBytes - lineBytes);
        // The last block is the empty line behind the newest entry.
        const int kept = lines.blockCount() - 1;
        EXPECT_EQ(lines.firstBlock().text(), QString::number(entries - kept) + dump);
        EXPECT_EQ(lines.lastBlock().previous().text(), QString::number(entries - 1) + dump);
        EXPECT_EQ(pane->textCursor().position(), lines.characterCount() - 1);
        const QTextCursor newest(lines.lastBlock().previous());
        EXPECT_TRUE(pane->viewport()->rect().contains(pane->cursorRect(newest)));
        EXPECT_TRUE(pane->viewport()->rect().contains(pane->cursorRect()));
    }
}

TEST_F(MainWindowTest, AnErrorInAHandlerShowsTheErrorBoxOnceAndTheWindowGoesOn) {
    TVarden& w = *window;
    RegOffset = 2000; // the first register's device address would be negative
    QTest::mouseClick(w.Read_once_Panel, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, DialogRecorder::Kind::Error);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Udpravik"));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Fehler bei Bereichsprüfung."));
    EXPECT_EQ(dialogs.shown[0].buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(w.isVisible());
    QTest::mouseClick(w.ClrMemoPanel, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(MainWindowTest, ExitClosesTheWindowWithoutAsking) {
    QTest::mouseClick(window->EXIT_Button, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
