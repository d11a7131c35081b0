#include "core/RuntimeErrors.h"

RangeError::RangeError() : RuntimeError("Fehler bei Bereichsprüfung") {}

OverflowError::OverflowError() : RuntimeError("Integerüberlauf") {}

ConvertError::ConvertError(std::string_view text)
    : RuntimeError("'" + std::string(text) + "' ist kein gültiger Integerwert") {}
