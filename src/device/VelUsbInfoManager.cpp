#include "VelUsbInfoManager.h"

#include "app/VelUserInfoData.h"
#include "device/VelDeviceIdentity.h"
#include "util/VelLog.h"
#include "util/VelNotificationCenter.h"
#include "util/VelNotificationNames.h"
#include "voice/VelAudioMonitorService.h"

namespace {
QString describe(const HidDeviceInfo &device)
{
    return QStringLiteral("%1 (%2:%3) %4")
        .arg(device.productName)
        .arg(device.vendorId, 4, 16, QLatin1Char('0'))
        .arg(device.productId, 4, 16, QLatin1Char('0'))
        .arg(device.path);
}
} // namespace

VelUsbInfoManager &VelUsbInfoManager::sharedVelUsbInfoManager()
{
    struct Shared : VelUsbInfoManager {
        Shared()
            : VelUsbInfoManager(HidPresenceWatcher::create(),
                                {[](uint16_t vid, uint16_t pid) {
                                     VelAudioMonitorService::sharedVelAudioMonitorService().beginIMouseMonitorVid(vid, pid);
                                 },
                                 [] { VelAudioMonitorService::sharedVelAudioMonitorService().endIMouseMonitor(); }})
        {
        }
    };
    static Shared instance;
    return instance;
}

VelUsbInfoManager::VelUsbInfoManager(std::unique_ptr<HidPresenceWatcher> watcher, Monitor monitor)
    : m_managerRef(std::move(watcher))
    , m_monitor(std::move(monitor))
{
    const bool opened = m_managerRef->start([this](const HidDeviceInfo &d) { deviceMatched(d); },
                                            [this](const HidDeviceInfo &d) { robotPenUSBRomveDevice(d); });
    velLog(opened ? QStringLiteral("打开成功 IOHIDManagerOpen") : QStringLiteral("打开失败 IOHIDManagerOpen"));
}

VelUsbInfoManager::~VelUsbInfoManager() = default;

bool VelUsbInfoManager::isMyProduct(const HidDeviceInfo &device)
{
    return VelDeviceIdentity::acceptedProductNames().contains(device.productName.left(255));
}

void VelUsbInfoManager::deviceMatched(const HidDeviceInfo &device)
{
    // One receiver at a time.
    if (m_deviceRef)
        return;
    robotPenUSBConnectDevice(device);
}

void VelUsbInfoManager::robotPenUSBConnectDevice(const HidDeviceInfo &device)
{
    if (!isMyProduct(device))
        return;
    velLog(QStringLiteral("接入USB回调：%1").arg(describe(device)));
    // Remembered even when the ids below stop us: a later removal clears it.
    m_deviceRef = device;
    if (device.vendorId <= 100 || device.productId <= 100)
        return;
    if (m_monitor.begin)
        m_monitor.begin(device.vendorId, device.productId);
}

void VelUsbInfoManager::robotPenUSBRomveDevice(const HidDeviceInfo &device)
{
    if (!isMyProduct(device)) {
        velLog(QStringLiteral("取出USB回调 非我司设备"));
        return;
    }
    velLog(QStringLiteral("取出USB回调：%1").arg(describe(device)));
    if (device.vendorId <= 100 || device.productId <= 100)
        return;
    if (!m_deviceRef)
        return;
    m_deviceRef.reset();
    if (m_monitor.end)
        m_monitor.end();
    VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().setSn(QString());
    VelNotificationCenter::defaultCenter().post(QString::fromLatin1(VelNotification::HadDeviceSnInfoNotification));
}
