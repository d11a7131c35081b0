#pragma once

#include "modbus/UDP_Modbus.h"

#include <cstdint>

// The monitor's end of the client: function 3 answers land in the register image and the
// grid by their transaction identifier; every other answer is only logged.
void OnF3Answer(std::uint16_t trId, std::uint16_t count, const TModbusRegArray& values);
void OnF6Answer(std::uint16_t trId, std::uint16_t address, std::uint16_t value);
void OnF16Answer(std::uint16_t trId, std::uint16_t address, std::uint16_t count);
void OnF3Error(std::uint16_t trId, std::uint8_t exceptionCode);
void OnF6Error(std::uint16_t trId, std::uint8_t exceptionCode);
void OnF16Error(std::uint16_t trId, std::uint8_t exceptionCode);

// Installs the six handlers on a client, right after its creation.
void RegisterHandlers(TUDP_ModBus& client);
