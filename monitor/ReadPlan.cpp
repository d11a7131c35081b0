#include "monitor/ReadPlan.h"

#include "core/CheckedMath.h"

#include <algorithm>

ReadRequest nextReadRequest(std::int32_t nextReg, std::int32_t endReg, std::int32_t regOffset) {
    const std::int32_t left = checkedAdd32(checkedSub32(endReg, nextReg), 1);
    const std::int32_t count = std::min(left, MaxRegistersPerRequest);
    const std::int32_t address = checkedSub32(nextReg, regOffset);
    return {checkedWord(address), checkedWord(count)};
}
