#include "driver_selection.h"

#include "device_node_channel.h"
#include "driver_channel.h"
#include "virtual_card.h"

#include <cstdlib>
#include <cstring>

namespace zul {
namespace {
DriverChoice chosen = DriverChoice::Environment;
std::string chosenNode = kDeviceNode;
} // namespace

void chooseDriver(DriverChoice choice, std::string deviceNode)
{
    chosen = choice;
    chosenNode = deviceNode.empty() ? std::string(kDeviceNode) : std::move(deviceNode);
}

std::unique_ptr<DriverChannel> makeDriverChannel()
{
    switch (chosen) {
    case DriverChoice::Virtual:
        return vcard::makeVirtualChannel();
    case DriverChoice::DeviceNode:
        return makeDeviceNodeChannel(chosenNode);
    case DriverChoice::Environment:
        break;
    }
    const char *driver = std::getenv("ZUL_DRIVER");
    if (driver && std::strcmp(driver, "virtual") == 0)
        return vcard::makeVirtualChannel();
    return makeDeviceNodeChannel(kDeviceNode);
}

} // namespace zul
