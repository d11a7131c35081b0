#include "monitor/RegisterEditorRules.h"

#include "core/HexDigits.h"
#include "monitor/RegisterNumbers.h"

WriteGate writeGate(std::int32_t selCol, std::int32_t selRow, bool clickAccepted,
                    std::int32_t startReg, std::int32_t endReg) {
    if (selCol == 0 || selRow == 0) return WriteGate::Nothing;
    const std::int32_t reg = registerOfCell(selCol, selRow);
    if (reg > HighestRegister) return WriteGate::Nothing;
    if (!clickAccepted || reg < startReg || reg > endReg) return WriteGate::OutOfRange;
    return WriteGate::Write;
}

std::string registerDisplay(std::int32_t reg, std::uint16_t value) {
    return "REG. " + std::to_string(reg) + " = 0x" + hexWord(value);
}

std::string outOfRangeLine(std::int32_t startReg, std::int32_t endReg) {
    return "Register nicht im Bereich " + std::to_string(startReg) + " bis " +
           std::to_string(endReg);
}
