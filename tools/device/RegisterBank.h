#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The start values of the registers, chosen on the command line.
enum class ValuePattern {
    Zeros,  // every register 0
    Count,  // register a holds a
    Moving, // as Count, and every register counts up by one each second
};

// The simulated device's 65536 holding registers, addressed 0..65535.
class RegisterBank {
  public:
    static constexpr std::size_t Size = 65536;

    explicit RegisterBank(ValuePattern pattern);

    std::uint16_t read(std::uint16_t address) const { return values[address]; }
    void write(std::uint16_t address, std::uint16_t value) { values[address] = value; }
    // Adds one to every register, 0xFFFF wrapping to 0: the moving pattern's tick.
    void countUp();

  private:
    std::vector<std::uint16_t> values;
};
