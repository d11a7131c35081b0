#include "monitor/AnswerHandlers.h"

#include "core/CheckedMath.h"
#include "monitor/GridView.h"
#include "monitor/MonitorState.h"
#include "shell/Log.h"
#include "widgets/GridModel.h"
#include "widgets/StringGrid.h"

namespace {

// Each answer line is followed by an empty line in the message pane.
void logAnswer(const QString& line) {
    LogMsg(line);
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
    {
        // One repaint for the whole answer, also when a register beyond the image ends it.
        const GridModel::Batch block(Varden->Grid1->cells());
        for (std::int32_t i = 0; i < count; ++i)
            StoreRegister(base + i, values[checkedRange(i, 0, values.size() - 1)]);
    }
    logAnswer(QStringLiteral("F3 Antwort: tr_id:=%1   Anzahl=%2").arg(trId).arg(count));
}

void OnF6Answer(std::uint16_t trId, std::uint16_t address, std::uint16_t value) {
    logAnswer(QStringLiteral("F6 Antwort: tr_id:=%1   Adr=%2   Wert=%3")
                  .arg(trId)
                  .arg(address)
                  .arg(value));
}

void OnF16Answer(std::uint16_t trId, std::uint16_t address, std::uint16_t count) {
    logAnswer(QStringLiteral("F16 Antwort: tr_id:=%1   Adr=%2   Anzahl=%3")
                  .arg(trId)
                  .arg(address)
                  .arg(count));
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
