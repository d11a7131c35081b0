#include "core/RuntimeErrors.h"

namespace {

std::string notAnIntegerMessage(std::string_view text) {
    std::string message = "'";
    message.append(text).append("' ist kein gültiger Integerwert");
    return message;
}

} // namespace

RangeError::RangeError() : RuntimeError("Fehler bei Bereichsprüfung") {}

OverflowError::OverflowError() : RuntimeError("Integerüberlauf") {}

ConvertError::ConvertError(std::string_view text) : RuntimeError(notAnIntegerMessage(text)) {}
