#include "monitor/TextConversion.h"

#include "core/RuntimeErrors.h"

// placeholder: replaced by the conversion work
std::optional<double> TextToReal(std::string_view) { return std::nullopt; }
std::int32_t TextToInt(std::string_view text) { throw ConvertError(text); }
