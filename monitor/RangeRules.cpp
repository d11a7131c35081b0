#include "monitor/RangeRules.h"

#include <cmath>

std::int32_t roundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    const bool up = fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0);
    return static_cast<std::int32_t>(up ? below + 1.0 : below);
}

std::optional<std::int32_t> acceptStartRegister(std::optional<double> value, std::int32_t endReg,
                                                std::int32_t regOffset) {
    if (!value || *value < 0 || *value > endReg || *value < regOffset || *value >= HighestRegister)
        return std::nullopt;
    return roundHalfToEven(*value);
}

std::optional<std::int32_t> acceptEndRegister(std::optional<double> value, std::int32_t startReg) {
    if (!value || *value < 0 || *value < startReg || *value > HighestRegister) return std::nullopt;
    return roundHalfToEven(*value);
}
