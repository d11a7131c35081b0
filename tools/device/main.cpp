#include "tools/device/DeviceLoop.h"
#include "tools/device/Options.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = parseOptions(arguments);
    if (!parsed.error.empty()) {
        std::cerr << "UdpRavikDevice: " << parsed.error << "\nTry UdpRavikDevice --help."
                  << std::endl;
        return 2;
    }
    if (parsed.options.help) {
        std::cout << helpText();
        return 0;
    }
    return runDevice(parsed.options);
}
