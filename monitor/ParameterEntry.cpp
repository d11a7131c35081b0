#include "monitor/ParameterEntry.h"

#include "core/RuntimeErrors.h"
#include "monitor/AnswerHandlers.h"
#include "monitor/MonitorState.h"
#include "monitor/RangeRules.h"
#include "monitor/TextConversion.h"
#include "shell/Dialogs.h"
#include "shell/Log.h"
#include "widgets/PanelButton.h"

#include <QLineEdit>

#include <memory>
#include <string>

namespace {

const QChar Enter(13);

std::string utf8(const QLineEdit* field) {
    return field->text().toUtf8().toStdString();
}

// The box is modal and timers keep running under it, so the value in force is read only
// once the operator has closed it.
void refuseEntry(QLineEdit* field, const QString& message, const std::int32_t& inForce) {
    Dialogs::showInformation(message);
    field->setText(QString::number(inForce));
}

void refuseRegister(QLineEdit* field, const std::int32_t& inForce) {
    refuseEntry(field, QStringLiteral("Eingabe ist ungültig"), inForce);
}

// Only characters of code 32 or below count as blanks around an address.
QString trimAddress(const QString& text) {
    auto isBlank = [](QChar c) { return c.unicode() <= 32; };
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.sliced(first, last - first);
}

// The new client is created and given its handlers while the old one still serves: its
// creation can open a modal box, under which Timer1 keeps sending through UdpBus. Only
// then is UdpBus switched over, which releases the old client.
void replaceClient(const QString& target) {
    auto fresh = std::make_unique<TUDP_ModBus>(target);
    RegisterHandlers(*fresh);
    UdpBus = std::move(fresh);
}

} // namespace

void SetUpParameterFields() {
    Varden->Edit1->setText(QString::number(StartReg));
    Varden->Edit3->setText(QString::number(EndReg));
    Varden->Edit4->setText(QString::number(RegOffset));
    Varden->IP_Panel->setCaption(QStringLiteral("IP = ") + TargetIP);
}

void ShowTargetReadiness() {
    Varden->IP_Panel->setLit(UdpBus->Ready());
}

void enterStartRegister(QChar key) {
    if (key != Enter) return;
    QLineEdit* field = Varden->Edit1;
    if (const auto accepted = acceptStartRegister(TextToReal(utf8(field)), EndReg, RegOffset))
        StartReg = *accepted;
    else
        refuseRegister(field, StartReg);
}

void enterEndRegister(QChar key) {
    if (key != Enter) return;
    QLineEdit* field = Varden->Edit3;
    if (const auto accepted = acceptEndRegister(TextToReal(utf8(field)), StartReg))
        EndReg = *accepted;
    else
        refuseRegister(field, EndReg);
}

void enterRegOffset(QChar key) {
    if (key != Enter) return;
    QLineEdit* field = Varden->Edit4;
    std::int32_t offset = 0;
    try {
        offset = TextToInt(utf8(field));
    } catch (const ConvertError&) {
        return refuseEntry(field, field->text() + QStringLiteral("  ist keine gültige Zahl"),
                           RegOffset);
    }
    if (!acceptOffset(offset, StartReg))
        return refuseEntry(field, QStringLiteral("Offset muss <= StartRegister sein."), RegOffset);
    RegOffset = offset;
}

void changeTarget() {
    const QString previous = TargetIP;
    Dialogs::inputQuery(QStringLiteral("neue Ziel IP - Adr."), QStringLiteral("bitte eingeben"),
                        TargetIP);
    TargetIP = trimAddress(TargetIP);
    if (TargetIP == previous) return;
    PanelButton& panel = *Varden->IP_Panel;
    panel.setCaption(QStringLiteral("IP = ") + TargetIP);
    panel.setLit(false);
    panel.window()->repaint(); // the new caption shows before a name lookup can block
    replaceClient(TargetIP);
    ShowTargetReadiness();
    LogMsg(QStringLiteral("neue IP = ") + TargetIP);
}
