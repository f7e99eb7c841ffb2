#include "HidapiTransport.h"

#include "platform/linux/UdevHidPresenceWatcher.h"
#include "util/VelLog.h"

#include <hidapi.h>
#include <libudev.h>

namespace {

QString wide(const wchar_t *value)
{
    return value ? QString::fromWCharArray(value) : QString();
}

class HidapiDevice : public HidDevice
{
public:
    explicit HidapiDevice(hid_device *handle)
        : m_handle(handle)
    {
    }
    ~HidapiDevice() override { hid_close(m_handle); }

    int read(uint8_t *data, size_t length) override { return hid_read(m_handle, data, length); }
    int write(const uint8_t *data, size_t length) override { return hid_write(m_handle, data, length); }
    bool setNonblocking(bool nonblocking) override { return hid_set_nonblocking(m_handle, nonblocking ? 1 : 0) == 0; }
    QString errorText() const override { return wide(hid_error(m_handle)); }

private:
    hid_device *m_handle;
};

} // namespace

bool HidapiTransport::init()
{
    return hid_init() == 0;
}

void HidapiTransport::exit()
{
    hid_exit();
}

QList<HidInterfaceInfo> HidapiTransport::enumerate(uint16_t vendorId, uint16_t productId)
{
    QList<HidInterfaceInfo> list;
    hid_device_info *devices = hid_enumerate(vendorId, productId);
    for (hid_device_info *d = devices; d; d = d->next) {
        HidInterfaceInfo info;
        info.path = QString::fromUtf8(d->path);
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.serialNumber = wide(d->serial_number);
        info.manufacturer = wide(d->manufacturer_string);
        info.product = wide(d->product_string);
        info.releaseNumber = d->release_number;
        info.interfaceNumber = d->interface_number;
        info.usagePage = d->usage_page;
        info.usage = d->usage;
        list.append(info);
    }
    hid_free_enumeration(devices);
    return list;
}

std::unique_ptr<HidDevice> HidapiTransport::openPath(const QString &path)
{
    const QByteArray local = path.toUtf8();
    hid_device *handle = hid_open_path(local.constData());
    if (!handle) {
        // Almost always the node's permissions: say how to fix them.
        velLog(QStringLiteral("无法打开 %1（%2）：请安装 resources/udev/70-travik-vazade.rules 并重新插入接收器")
                   .arg(path, wide(hid_error(nullptr))));
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(handle);
}

QString HidapiTransport::errorText() const
{
    return wide(hid_error(nullptr));
}

QStringList HidapiTransport::receiverNodePaths(uint16_t vendorId, uint16_t productId)
{
    QStringList paths;
    udev *context = udev_new();
    if (!context)
        return paths;
    udev_enumerate *enumerate = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(enumerate, "hidraw");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device *device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        const HidDeviceInfo info = UdevHidPresenceWatcher::describe(device);
        if (device)
            udev_device_unref(device);
        if (info.vendorId == vendorId && info.productId == productId && !info.path.isEmpty())
            paths.append(info.path);
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
    return paths;
}
