#include "monitor/AnswerHandlers.h"

// placeholder: replaced by the answer handler work
void OnF3Answer(std::uint16_t, std::uint16_t, const TModbusRegArray&) {}
void OnF6Answer(std::uint16_t, std::uint16_t, std::uint16_t) {}
void OnF16Answer(std::uint16_t, std::uint16_t, std::uint16_t) {}
void OnF3Error(std::uint16_t, std::uint8_t) {}
void OnF6Error(std::uint16_t, std::uint8_t) {}
void OnF16Error(std::uint16_t, std::uint8_t) {}
void RegisterHandlers(TUDP_ModBus& client) {
    client.SetErrorCallbacks(OnF3Error, OnF6Error, OnF16Error);
    client.SetWriteCallbacks(OnF6Answer, OnF16Answer);
    client.SetReadCallback(OnF3Answer);
}
