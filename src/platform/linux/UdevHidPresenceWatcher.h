#pragma once

#include "platform/HidPresenceWatcher.h"

#include <QHash>
#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;
struct udev_device;

// hidraw nodes through a libudev monitor. The product name, vendor and
// product id come from the USB device above the node (the "product" string
// descriptor), falling back to the HID device's own name and id.
class UdevHidPresenceWatcher : public QObject, public HidPresenceWatcher
{
    Q_OBJECT
public:
    UdevHidPresenceWatcher();
    ~UdevHidPresenceWatcher() override;

    bool start(Handler arrived, Handler removed) override;

    // Describes a hidraw device (null-safe); empty path when it is not one.
    static HidDeviceInfo describe(udev_device *device);

private:
    void onMonitorReadable();

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    Handler m_arrived;
    Handler m_removed;
    // Removal events carry no attributes any more: what arrival learned.
    QHash<QString, HidDeviceInfo> m_known;
};
