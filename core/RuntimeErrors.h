#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// The three runtime errors a handler can raise. Their messages are the exact German texts
// the operator sees in the error box, UTF-8 encoded.
class RuntimeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A value outside its range: "Fehler bei Bereichsprüfung".
class RangeError : public RuntimeError {
  public:
    RangeError();
};

// A 32-bit computation that overflowed: "Integerüberlauf".
class OverflowError : public RuntimeError {
  public:
    OverflowError();
};

// A text that is not a whole number: "'<text>' ist kein gültiger Integerwert".
class ConvertError : public RuntimeError {
  public:
    explicit ConvertError(std::string_view text);
};
