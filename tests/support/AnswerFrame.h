#pragma once

#include "wire/FrameCodec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

// A datagram as a device answers, size bytes long: transaction identifier, protocol 0, the
// length field, unit 1 and the function code, as far as size reaches; every other byte is
// fill, so that registers stored from it stand out.
inline std::vector<std::uint8_t> answerFrame(std::uint16_t trId, std::uint16_t length,
                                             std::uint8_t function, std::size_t size,
                                             std::uint8_t fill = 0xA5) {
    std::array<std::uint8_t, 8> header{0, 0, 0, 0, 0, 0, 1, function};
    FrameCodec::putWord(header.data(), trId);
    FrameCodec::putWord(header.data() + 4, length);
    std::vector<std::uint8_t> frame(size, fill);
    std::copy_n(header.begin(), std::min(size, header.size()), frame.begin());
    return frame;
}

// A function 3 answer for count registers from trId on, with its length field; size bytes
// long, or as long as the registers make it.
inline std::vector<std::uint8_t> readAnswerFrame(std::uint16_t trId, int count,
                                                 std::size_t size = 0) {
    const auto length = static_cast<std::uint16_t>(3 + 2 * count);
    return answerFrame(trId, length, 3, size ? size : static_cast<std::size_t>(length) + 6);
}
