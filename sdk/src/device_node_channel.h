#pragma once

#include "driver_channel.h"

#include <string>

namespace zul {

inline constexpr const char *kDeviceNode = "/dev/k7q02";

std::unique_ptr<DriverChannel> makeDeviceNodeChannel(std::string path);

} // namespace zul
