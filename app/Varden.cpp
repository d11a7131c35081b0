#include "app/Varden.h"

#include "app/WindowFont.h"
#include "app/WindowFrame.h"
#include "monitor/BlockReader.h"
#include "monitor/MonitorState.h"
#include "monitor/ParameterEntry.h"
#include "monitor/RegisterEditor.h"
#include "monitor/RegisterGrid.h"
#include "shell/EventGuard.h"
#include "shell/Log.h"
#include "widgets/PanelButton.h"
#include "widgets/StringGrid.h"
#include "widgets/TypedCharacter.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

namespace {

constexpr int GridLeft = 8;
constexpr int GridWidth = 553;

QPlainTextEdit* makePane(QWidget* parent, int x, int y, int w, int h) {
    auto* pane = new QPlainTextEdit(parent);
    pane->setGeometry(x, y, w, h);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setTabChangesFocus(true);
    // An undo history would keep every line ever logged, and the text they left behind.
    pane->setUndoRedoEnabled(false);
    return pane;
}

// The system's tooltip background is what the platform's own tooltips show (on Windows the
// system colour COLOR_INFOBK). Fusion's palette takes the system's button face, but keeps a
// tooltip background of its own.
QColor systemTooltipBackground() {
    return QToolTip::palette().color(QPalette::ToolTipBase);
}

QLineEdit* makeEdit(QWidget* parent, int x, int y, const QColor& background) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(x, y, 73, 21);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, background);
    edit->setPalette(p);
    return edit;
}

QLabel* makeLabel(QWidget* parent, int x, int y, const QString& caption, const QFont& font) {
    auto* label = new QLabel(caption, parent);
    label->setFont(font);
    label->move(x, y);
    label->adjustSize();
    return label;
}

PanelButton* makePanel(QWidget* parent, int x, int y, int w, int h, const QString& caption) {
    auto* panel = new PanelButton(caption, parent);
    panel->setGeometry(x, y, w, h);
    return panel;
}

} // namespace

TVarden::TVarden() {
    Varden = this;
    setFont(WindowFont::at(11));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    createWidgets();
    Log::attachPanes(Memo1, Memo2);
    bindEvents();
    setTabOrder();
    placeOnScreen();
    FormCreate();
}

TVarden::~TVarden() {
    Log::detachPanes();
    Varden = nullptr;
}

void TVarden::createWidgets() {
    Memo1 = makePane(this, 8, 8, 345, 193);
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(500);
    EXIT_Button = new QPushButton(QStringLiteral("Exit"), this);
    EXIT_Button->setGeometry(704, 560, 57, 33);
    Memo2 = makePane(this, 368, 8, 353, 65);
    Read_cyclic_Panel = makePanel(this, 236, 560, 93, 33, QStringLiteral("Read cyclic"));
    Grid1 = new StringGrid(this);
    Grid1->setGeometry(GridLeft, 208, GridWidth, 345);
    Grid1->setFont(WindowFont::at(13));
    ClrMemoPanel = makePanel(this, 368, 88, 73, 33, QStringLiteral("Clear Memo"));
    IP_Panel = makePanel(this, 589, 88, 132, 33, QString());
    Read_once_Panel = makePanel(this, 120, 560, 95, 33, QStringLiteral("Read once"));
    ClrGridPanel = makePanel(this, 8, 560, 89, 33, QStringLiteral("Clear Grid"));
    Label3 = makeLabel(this, 368, 136, QStringLiteral("StartRegister"), WindowFont::at(13));
    Edit1 = makeEdit(this, 368, 160, systemTooltipBackground());
    Label1 = makeLabel(this, 352, 568,
                       QStringLiteral("von StartRegister bis  EndRegister        max=32000"),
                       WindowFont::at(11));
    QFont editorFont = WindowFont::at(16, true);
    editorFont.setFixedPitch(true);
    Label2 = makeLabel(this, 584, 208, QStringLiteral("Reg. ="), editorFont);
    QPalette black = Label2->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label2->setPalette(black);
    createBitBox();
    Edit3 = makeEdit(this, 464, 160, systemTooltipBackground());
    Label5 = makeLabel(this, 464, 136, QStringLiteral("EndRegister"), WindowFont::at(13));
    Edit4 = makeEdit(this, 592, 160, palette().color(QPalette::Base));
    Label6 = makeLabel(this, 592, 136, QStringLiteral("Reg.Offset"), WindowFont::at(13));
}

void TVarden::createBitBox() {
    BitBox = new QGroupBox(QStringLiteral(" Reg.Bits "), this);
    BitBox->setGeometry(608, 232, 89, 329);
    static constexpr std::array<int, 16> widths = {57, 49, 49, 57, 49, 57, 49, 49,
                                                   49, 49, 41, 41, 49, 49, 49, 49};
    std::array<QCheckBox**, 16> fields = {&Bit15, &Bit14, &Bit13, &Bit12, &Bit11, &Bit10,
                                          &Bit9,  &Bit8,  &Bit7,  &Bit6,  &Bit5,  &Bit4,
                                          &Bit3,  &Bit2,  &Bit1,  &Bit0};
    for (int k = 0; k < 16; ++k) {
        // Bit15..Bit8 from 24 on, then a gap, Bit7..Bit0 from 160 on: two visible bytes.
        const int top = k < 8 ? 24 + 16 * k : 160 + 16 * (k - 8);
        auto* box = new QCheckBox(QStringLiteral("Bit%1").arg(15 - k), BitBox);
        box->setGeometry(16, top, widths[k], 17);
        *fields[k] = box;
    }
    Update_Button = new QPushButton(QStringLiteral("Update"), BitBox);
    Update_Button->setGeometry(16, 296, 57, 25);
}

void TVarden::bindEvents() {
    auto bind = [this](auto* sender, auto signal, void (TVarden::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { EventGuard::run([&] { (this->*handler)(); }); });
    };
    bind(Timer1, &QTimer::timeout, &TVarden::Timer1Timer);
    bind(EXIT_Button, &QPushButton::clicked, &TVarden::EXIT_ButtonClick);
    bind(Read_cyclic_Panel, &PanelButton::clicked, &TVarden::Read_cyclic_PanelClick);
    bind(ClrMemoPanel, &PanelButton::clicked, &TVarden::ClrMemoPanelClick);
    bind(IP_Panel, &PanelButton::clicked, &TVarden::IP_PanelClick);
    bind(Read_once_Panel, &PanelButton::clicked, &TVarden::Read_once_PanelClick);
    bind(ClrGridPanel, &PanelButton::clicked, &TVarden::ClrGridPanelClick);
    bind(Update_Button, &QPushButton::clicked, &TVarden::Update_ButtonClick);
    connect(Grid1, &StringGrid::keyPress, this,
            [this](QChar key) { EventGuard::run([&] { Grid1KeyPress(key); }); });
    connect(Grid1, &StringGrid::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
                EventGuard::run([&] { Grid1MouseDown(button, shift, x, y); });
            });
    for (QLineEdit* edit : {Edit1, Edit3, Edit4})
        edit->installEventFilter(this);
    // Clicks on labels, the group box and its check boxes must not reach the background.
    for (QWidget* child : findChildren<QWidget*>())
        child->setAttribute(Qt::WA_NoMousePropagation);
}

void TVarden::setTabOrder() {
    QList<QWidget*> order = {Memo1, EXIT_Button, Memo2, Grid1, Edit1};
    for (int bit = 15; bit >= 0; --bit)
        order.append(bits()[bit]);
    order << Update_Button << Edit3 << Edit4;
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    QWidget::setTabOrder(order.back(), order.front());
}

void TVarden::placeOnScreen() {
    move(266, 160);
    resize(828, 652);
}

bool TVarden::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const QChar key = typedCharacter(*static_cast<QKeyEvent*>(event));
    if (key.isNull()) return false;
    EventGuard::run([&] {
        if (watched == Edit1) Edit1KeyPress(key);
        if (watched == Edit3) Edit3KeyPress(key);
        if (watched == Edit4) Edit4KeyPress(key);
    });
    return false; // the key still goes to the field as usual
}

void TVarden::mousePressEvent(QMouseEvent* event) {
    backgroundClick.press(*event);
    event->accept();
}

void TVarden::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (backgroundClick.release(*event, *this)) EventGuard::run([this] { FormClick(); });
}

void TVarden::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (gridRightMargin < 0) fitIntoOuterSize(); // the first show
}

// An X window manager reports its frame only after the window is mapped, and moves the
// client area into it: the first move that knows the frame fits the window once more.
void TVarden::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!framed && windowState() == Qt::WindowNoState &&
        frameGeometry().size() != geometry().size())
        fitIntoOuterSize();
}

// The outer size is 828 x 652, frame included; the client area is what remains inside it,
// and Grid1 keeps its width as the window opens.
void TVarden::fitIntoOuterSize() {
    const QMargins frame = drawnFrame(*this);
    framed = !frame.isNull();
    const qreal ratio = devicePixelRatioF();
    const QSize client = clientSizeWithin(QSize(828, 652), frame, ratio);
    gridRightMargin = client.width() - (GridLeft + GridWidth);
    resize(client);
    // Qt places the part of the frame it knows of; a frame drawn wider keeps the place too.
    const QPoint knownFrame = geometry().topLeft() - frameGeometry().topLeft();
    const QPoint drawn(qRound(frame.left() / ratio), qRound(frame.top() / ratio));
    if (drawn != knownFrame) move(pos() + drawn - knownFrame);
}

// Closing abandons a read under way at once: no request leaves after the window is gone.
void TVarden::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    QWidget::closeEvent(event);
}

void TVarden::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (gridRightMargin >= 0)
        Grid1->resize(qMax(0, width() - GridLeft - gridRightMargin), Grid1->height());
}

void TVarden::FormCreate() {
    Grid1->setDoubleBuffered(true);
    setWindowTitle(QStringLiteral("UDP/Ravik  V1.10"));
    Memo1->clear();
    Memo2->clear();
    SetUpGrid();
    ShowStartRow();
    SetUpParameterFields();
    Timer1->setInterval(120);
    Timer1->stop();
    ShowTargetReadiness();
}

void TVarden::EXIT_ButtonClick() {
    close();
}

void TVarden::ClrMemoPanelClick() {
    Memo1->clear();
    Memo2->clear();
}

// The register monitor's handlers: each hands its event on to the part that it drives.

void TVarden::Timer1Timer() {
    readNext();
}

void TVarden::Read_once_PanelClick() {
    readOnce();
}

void TVarden::Read_cyclic_PanelClick() {
    switchCyclicReading();
}

void TVarden::ClrGridPanelClick() {
    clearGrid();
}

void TVarden::IP_PanelClick() {
    changeTarget();
}

void TVarden::Edit1KeyPress(QChar key) {
    enterStartRegister(key);
}

void TVarden::Edit3KeyPress(QChar key) {
    enterEndRegister(key);
}

void TVarden::Edit4KeyPress(QChar key) {
    enterRegOffset(key);
}

void TVarden::Grid1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    selectRegisterAt(x, y);
}

void TVarden::Grid1KeyPress(QChar key) {
    writeSelectedCell(key);
}

void TVarden::Update_ButtonClick() {
    writeBitBoxes();
}

void TVarden::FormClick() {
    clearSelection();
}
