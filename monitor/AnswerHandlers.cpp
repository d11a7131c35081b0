#include "monitor/AnswerHandlers.h"

#include "core/CheckedMath.h"
#include "monitor/MonitorState.h"
#include "monitor/RegisterGrid.h"
#include "shell/Log.h"

#include <iterator>
#include <span>

namespace {

// Each answer line is followed by an empty line in the message pane.
template <std::invocable MakeLine> void logAnswer(MakeLine&& makeLine) {
    LogMsgWhenShown(makeLine);
    LogMsg(QString());
}

void logExceptionAnswer(const char* function, std::uint16_t trId, std::uint8_t code) {
    LogError(QStringLiteral("CallBack: %1_Error: tr_id:=%2   errCode=%3")
                 .arg(QLatin1StringView(function))
                 .arg(trId)
                 .arg(unsigned{code}));
}

} // namespace

void OnF3Answer(std::uint16_t trId, std::uint16_t count, const TModbusRegArray& values) {
    const std::int32_t base = checkedRange(checkedAdd32(trId, RegOffset), 0, 0xFFFF);
    const auto length = static_cast<std::size_t>(checkedRange(count, 0, std::ssize(values)));
    StoreRegisters(base, std::span(values).first(length));
    logAnswer(
        [=] { return QStringLiteral("F3 Antwort: tr_id:=%1   Anzahl=%2").arg(trId).arg(count); });
}

void OnF6Answer(std::uint16_t trId, std::uint16_t address, std::uint16_t value) {
    logAnswer([=] {
        return QStringLiteral("F6 Antwort: tr_id:=%1   Adr=%2   Wert=%3")
            .arg(trId)
            .arg(address)
            .arg(value);
    });
}

void OnF16Answer(std::uint16_t trId, std::uint16_t address, std::uint16_t count) {
    logAnswer([=] {
        return QStringLiteral("F16 Antwort: tr_id:=%1   Adr=%2   Anzahl=%3")
            .arg(trId)
            .arg(address)
            .arg(count);
    });
}

void OnF3Error(std::uint16_t trId, std::uint8_t exceptionCode) {
    logExceptionAnswer("F3", trId, exceptionCode);
}

void OnF6Error(std::uint16_t trId, std::uint8_t exceptionCode) {
    logExceptionAnswer("F6", trId, exceptionCode);
}

void OnF16Error(std::uint16_t trId, std::uint8_t exceptionCode) {
    logExceptionAnswer("F16", trId, exceptionCode);
}

void RegisterHandlers(TUDP_ModBus& client) {
    client.SetErrorCallbacks(OnF3Error, OnF6Error, OnF16Error);
    client.SetWriteCallbacks(OnF6Answer, OnF16Answer);
    client.SetReadCallback(OnF3Answer);
}
