#pragma once

#include "platform/HidPresenceWatcher.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Watches the system's HID devices for our receiver and tells the voice
// session controller to begin or end monitoring it. Serves one receiver at a
// time; lives until the process ends.
class VelUsbInfoManager
{
public:
    // Creates the watcher on first call, which starts watching at once.
    static VelUsbInfoManager &sharedVelUsbInfoManager();
    virtual ~VelUsbInfoManager();

    static bool isMyProduct(const HidDeviceInfo &device);

    void robotPenUSBConnectDevice(const HidDeviceInfo &device);
    void robotPenUSBRomveDevice(const HidDeviceInfo &device);

    // The receiver in use, if any.
    const std::optional<HidDeviceInfo> &deviceRef() const { return m_deviceRef; }

protected:
    struct Monitor {
        std::function<void(uint16_t vid, uint16_t pid)> begin;
        std::function<void()> end;
    };
    // Tests pass their own watcher and monitor; the shared instance uses the
    // platform's watcher and the voice session controller.
    VelUsbInfoManager(std::unique_ptr<HidPresenceWatcher> watcher, Monitor monitor);

private:
    void deviceMatched(const HidDeviceInfo &device);

    std::unique_ptr<HidPresenceWatcher> m_managerRef;
    std::optional<HidDeviceInfo> m_deviceRef;
    Monitor m_monitor;
};
