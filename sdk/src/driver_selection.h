#pragma once

#include <string>

namespace zul {

// Which channel the next `ZUL_init` opens when no device is open yet. The
// environment (ZUL_DRIVER=virtual) decides unless a program chose itself.
enum class DriverChoice { Environment, DeviceNode, Virtual };

void chooseDriver(DriverChoice choice, std::string deviceNode = {});

} // namespace zul
