#include "UdevHidPresenceWatcher.h"

#include "util/VelLog.h"

#include <QSocketNotifier>

#include <libudev.h>

namespace {

QString text(const char *value)
{
    return value ? QString::fromUtf8(value) : QString();
}

uint16_t hexId(const char *value)
{
    bool ok = false;
    const uint value16 = text(value).toUInt(&ok, 16);
    return ok && value16 <= 0xFFFF ? uint16_t(value16) : 0;
}

} // namespace

UdevHidPresenceWatcher::UdevHidPresenceWatcher() = default;

UdevHidPresenceWatcher::~UdevHidPresenceWatcher()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

HidDeviceInfo UdevHidPresenceWatcher::describe(udev_device *device)
{
    HidDeviceInfo info;
    if (!device)
        return info;
    info.path = text(udev_device_get_devnode(device));
    if (info.path.isEmpty())
        info.path = text(udev_device_get_syspath(device));

    if (udev_device *usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device")) {
        info.productName = text(udev_device_get_sysattr_value(usb, "product"));
        info.vendorId = hexId(udev_device_get_sysattr_value(usb, "idVendor"));
        info.productId = hexId(udev_device_get_sysattr_value(usb, "idProduct"));
    }
    if (udev_device *hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr)) {
        // HID_ID is "bus:vendor:product" in hex, HID_NAME the device's name.
        const QStringList id = text(udev_device_get_property_value(hid, "HID_ID")).split(QLatin1Char(':'));
        if (info.vendorId == 0 && id.size() == 3) {
            info.vendorId = uint16_t(id.at(1).toUInt(nullptr, 16));
            info.productId = uint16_t(id.at(2).toUInt(nullptr, 16));
        }
        if (info.productName.isEmpty())
            info.productName = text(udev_device_get_property_value(hid, "HID_NAME"));
    }
    // The platform compares at most the first 255 characters of the name.
    info.productName.truncate(255);
    return info;
}

bool UdevHidPresenceWatcher::start(Handler arrived, Handler removed)
{
    m_arrived = std::move(arrived);
    m_removed = std::move(removed);

    m_udev = udev_new();
    if (!m_udev)
        return false;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(m_monitor) < 0) {
        velLog(QStringLiteral("无法监听 hidraw 设备的插拔：udev 监视器不可用，鼠标将不可用"));
        return false;
    }
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, [this] { onMonitorReadable(); });

    // Devices present before the monitor started count as arrivals.
    udev_enumerate *enumerate = udev_enumerate_new(m_udev);
    udev_enumerate_add_match_subsystem(enumerate, "hidraw");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device *device = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
        const HidDeviceInfo info = describe(device);
        if (device)
            udev_device_unref(device);
        if (info.path.isEmpty())
            continue;
        m_known.insert(info.path, info);
        if (m_arrived)
            m_arrived(info);
    }
    udev_enumerate_unref(enumerate);
    return true;
}

void UdevHidPresenceWatcher::onMonitorReadable()
{
    udev_device *device = udev_monitor_receive_device(m_monitor);
    if (!device)
        return;
    const QString action = text(udev_device_get_action(device));
    if (action == QLatin1String("add")) {
        const HidDeviceInfo info = describe(device);
        if (!info.path.isEmpty()) {
            m_known.insert(info.path, info);
            if (m_arrived)
                m_arrived(info);
        }
    } else if (action == QLatin1String("remove")) {
        QString path = text(udev_device_get_devnode(device));
        if (path.isEmpty())
            path = text(udev_device_get_syspath(device));
        HidDeviceInfo info = m_known.take(path);
        info.path = path;
        if (m_removed)
            m_removed(info);
    }
    udev_device_unref(device);
}
