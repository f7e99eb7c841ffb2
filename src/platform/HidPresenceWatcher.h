#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// One HID device as the presence watcher sees it. `path` identifies the device
// for the life of its connection (the hidraw node on Linux).
struct HidDeviceInfo {
    QString productName;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    QString path;
};

// Arrival and removal of HID devices. start() reports every device already
// present as an arrival, then each later arrival and removal, all on the main
// thread.
class HidPresenceWatcher
{
public:
    using Handler = std::function<void(const HidDeviceInfo &)>;

    virtual ~HidPresenceWatcher() = default;

    // False when the system's device monitor cannot be opened; no events
    // arrive then.
    virtual bool start(Handler arrived, Handler removed) = 0;

    // The platform's watcher, or the one an installed factory makes (the
    // simulated receiver installs itself here).
    static std::unique_ptr<HidPresenceWatcher> create();
    using Factory = std::function<std::unique_ptr<HidPresenceWatcher>()>;
    static void setFactory(Factory factory);
};
