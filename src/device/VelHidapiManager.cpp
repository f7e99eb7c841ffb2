#include "VelHidapiManager.h"

#include "app/RakLocalizedString.h"
#include "app/VelUserInfoData.h"
#include "cloud/checkUpdateUtil.h"
#include "device/SBCUtil.h"
#include "device/VelDeviceIdentity.h"
#include "device/VelMyUtils.h"
#include "speech/VelAudioObjectManager.h"
#include "overlays/VelVoiceHudHook.h"
#include "platform/VelUserDefaults.h"
#include "util/VelLog.h"
#include "util/VelNotificationCenter.h"
#include "util/VelNotificationNames.h"
#include "util/VelTextHelpers.h"

#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Plain prints (no time stamp), as the transport's diagnostics always were.
void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString hex4(uint16_t value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

bool isVendorInterface(const HidInterfaceInfo &info)
{
    const auto &pages = VelDeviceIdentity::kVendorUsagePages;
    return info.usage == 0 && std::find(std::begin(pages), std::end(pages), info.usagePage) != std::end(pages);
}

VelMouseInfoItem &mouseInfo()
{
    return VelUserInfoData::sharedVelUserInfoData().mouseInfoItem();
}

QString sensorName(int code)
{
    static const char *names[] = {nullptr, "PAW3205", "PAW3212", "FCT3065", "FCT3065-XY", "KA8", "KA8-G2"};
    return code >= 1 && code <= 6 ? QString::fromLatin1(names[code]) : QString();
}

} // namespace

VelHidapiManager &VelHidapiManager::sharedVelHidapiManager()
{
    static VelHidapiManager instance;
    return instance;
}

VelHidapiManager::VelHidapiManager()
    : m_levelMeter([](const std::optional<QByteArray> &pcm) { return VelAudioObjectManager::sharedManager().isQuite(pcm); })
{
}

VelHidapiManager::~VelHidapiManager() = default;

HidTransport &VelHidapiManager::transport()
{
    if (!m_transport)
        m_transport = HidTransport::create();
    return *m_transport;
}

void VelHidapiManager::setTransport(std::unique_ptr<HidTransport> transport)
{
    m_transport = std::move(transport);
}

void VelHidapiManager::setLevelMeter(LevelMeter meter)
{
    m_levelMeter = std::move(meter);
}

bool VelHidapiManager::isPolling() const
{
    return m_timer && m_timer->isActive();
}

void VelHidapiManager::rowdataPcmAudioCallBack(PcmBlock block)
{
    m_pcmCallBack = std::move(block);
}

void VelHidapiManager::hidRequestReadMouseInfoVid(uint16_t vid, uint16_t pid, KeyEventBlock callback)
{
    HidTransport &hid = transport();
    if (hid.init()) {
        const QList<HidInterfaceInfo> interfaces = hid.enumerate(vid, pid);
        for (const HidInterfaceInfo &d : interfaces) {
            print(QStringLiteral("Device Found\n  type: %1 %2\n  path: %3\n  serial_number: %4")
                      .arg(hex4(d.vendorId), hex4(d.productId), d.path, d.serialNumber));
            print(QStringLiteral("  Manufacturer: %1\n  Product:      %2\n  Release:      %3\n  Interface:    %4\n")
                      .arg(d.manufacturer, d.product, QString::number(d.releaseNumber, 16))
                      .arg(d.interfaceNumber));
        }

        const HidInterfaceInfo *chosen = nullptr;
        for (const HidInterfaceInfo &d : interfaces) {
            if (!isVendorInterface(d))
                continue;
            chosen = &d;
            print(QStringLiteral("---说明找到可以打开的设备了---"));
            m_hidDeviceConnected = true;
            VelMyUtils::getsTheConnectionModeOfTheCurrentDevice();
            mouseInfo().setVid(vid);
            mouseInfo().setPid(pid);
            if (const int kind = VelDeviceIdentity::deviceKindFor(vid, pid))
                mouseInfo().setDevieType(kind);
            break;
        }
        if (!chosen && !interfaces.isEmpty())
            chosen = &interfaces.last();

        if (chosen)
            m_handle = hid.openPath(chosen->path);

        if (!m_handle) {
            // Enumeration gave nothing that opens: look the receiver's node
            // up in the device tree directly.
            const QStringList paths =
                hid.receiverNodePaths(VelDeviceIdentity::kVendorId, VelDeviceIdentity::kProductIdKind1);
            if (paths.isEmpty())
                print(QStringLiteral("Failed to get device path"));
            for (const QString &path : paths)
                print(QStringLiteral("Device Path: %1").arg(path));
            if (!paths.isEmpty())
                m_handle = hid.openPath(paths.last());
        }

        if (m_handle) {
            m_handle->setNonblocking(true);
            getHidInfo();
            m_callbackBlock = std::move(callback);
            if (!m_timer) {
                m_timer = new QTimer(this);
                m_timer->setTimerType(Qt::PreciseTimer);
                m_timer->setInterval(kPollIntervalMs);
                connect(m_timer, &QTimer::timeout, this, &VelHidapiManager::timerRun);
            }
            m_timer->start();
            hidRequestReloadCallback([](bool, const QString &) {});
            return;
        }
        print(QStringLiteral("hid_open_path：unable to open device"));
    }
    if (callback)
        callback(0, 0);
}

void VelHidapiManager::getHidInfo()
{
    // The retry below may outlive the connection: a closed device is not read.
    if (!m_handle)
        return;
    uint8_t buf[kInfoReportSize] = {};
    const int res = m_handle->read(buf, sizeof buf);
    if (res < 0) {
        print(QStringLiteral("Unable to get a feature report."));
        print(m_handle->errorText());
        return;
    }
    if (handleInformationReport(buf, res)) {
        VelMyUtils::getsTheConnectionModeOfTheCurrentDevice();
        return;
    }
    QTimer::singleShot(kPollIntervalMs, this, &VelHidapiManager::getHidInfo);
}

bool VelHidapiManager::handleInformationReport(const uint8_t *buf, int length)
{
    VelMouseInfoItem &info = mouseInfo();
    QString serial;
    for (int i = 0; i < length && i < kInfoReportSize; ++i) {
        const uint8_t value = buf[i];
        print(QStringLiteral("buf[%1]：%2\n").arg(i).arg(int(value), 2, 16, QLatin1Char('0')));
        switch (i) {
        case 1:
            info.setMousePowerOFF(value == 0);
            velLog(QStringLiteral("当前连接模式：2.4G，鼠标：%1").arg(value == 0 ? QStringLiteral("关机") : QStringLiteral("开机")));
            break;
        case 2:
            velLog(QStringLiteral("当前鼠标的随机码：%1").arg(int(value)));
            break;
        case 3:
            info.setPower(value);
            velLog(QStringLiteral("当前鼠标的电量剩余：%1%").arg(int(value)));
            break;
        case 4:
            info.setDpi(value);
            velLog(QStringLiteral("当前鼠标的dpi：%1").arg(int(value)));
            break;
        case 6: {
            // The device writes the switch as a decimal digit into a hex
            // byte: its hex text is read as a decimal number.
            const QString hexText = QStringLiteral("%1").arg(int(value), 2, 16, QLatin1Char('0'));
            const bool on = VelUserDefaults::integerValueOfText(hexText) != 0;
            info.setLed(on);
            velLog(QStringLiteral("当前鼠标的led开关：%1").arg(on ? QStringLiteral("开") : QStringLiteral("关")));
            break;
        }
        case 7: {
            const int sensor = value & 0x0F;
            const int model = value >> 4;
            const QString name = sensorName(sensor);
            if (!name.isEmpty())
                velLog(QStringLiteral("当前鼠标的光电ic %1：%2").arg(sensor).arg(name));
            else
                velLog(QStringLiteral("当前鼠标的光电ic：%1").arg(sensor));
            if (model <= 3)
                velLog(QStringLiteral("当前鼠标的设备型号：语音鼠标 %1 型").arg(QChar(u'A' + model)));
            else
                velLog(QStringLiteral("当前鼠标的设备型号：%1").arg(model));
            info.setType(sensor);
            break;
        }
        case 8:
            info.setSoftwareVersion(QString::number(value));
            velLog(QStringLiteral("当前鼠标的固件版本号：%1").arg(int(value)));
            break;
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
            serial += QStringLiteral("%1").arg(int(value), 2, 16, QLatin1Char('0'));
            if (i == 15) {
                if (info.sn().isEmpty()) {
                    info.setSn(VelTextHelpers::changeMySN(serial));
                    VelNotificationCenter::defaultCenter().post(QString::fromLatin1(VelNotification::HadDeviceSnInfoNotification));
                }
                i = length; // the walk ends with the serial number
            }
            break;
        default:
            break;
        }
    }
    return length > 7;
}

void VelHidapiManager::timerRun()
{
    // Each poll takes every report already queued (bounded): the mouse sends
    // 125 audio reports a second, more than one per 10 ms poll.
    for (int n = 0; n < kMaxReportsPerPoll && m_handle; ++n) {
        uint8_t buf[kPollReportSize] = {};
        buf[0] = 0x0F;
        const int res = m_handle->read(buf, sizeof buf);
        if (res < 0) {
            print(QStringLiteral("Unable to get a feature report."));
            print(m_handle->errorText());
            return;
        }
        if (res == 0)
            return;
        handlePollReport(buf, res);
    }
}

void VelHidapiManager::handlePollReport(const uint8_t *buf, int length)
{
    if (buf[0] == 0x9C) {
        ++m_audioFramesReceived;
        const std::optional<QByteArray> pcm =
            SBCUtil::shareInstance().sbc2PCM(QByteArray(reinterpret_cast<const char *>(buf), kPollReportSize));
        if (pcm && !pcm->isEmpty())
            ++m_audioFramesDecoded;
        if (m_levelMeter)
            m_levelMeter(pcm);
        if (m_pcmCallBack && pcm && !pcm->isEmpty()) {
            const PcmBlock block = m_pcmCallBack;
            block(*pcm, 0);
        }
        return;
    }
    if (length < 1)
        return;
    VelMouseInfoItem &info = mouseInfo();
    if (length > 1)
        info.setMousePowerOFF(buf[1] == 0);
    if (length > 3)
        info.setPower(buf[3]);
    if (length > 5 && buf[5] != 0)
        deliverKey(buf[5]);
}

void VelHidapiManager::deliverKey(uint8_t code)
{
    print(QStringLiteral("-----按键事件枚举值:%1,byte值：%2\n").arg(int(code)).arg(int(code), 2, 16, QLatin1Char('0')));
    m_pressType = code;
    if (!m_callbackBlock)
        return;
    if (checkUpdateUtil::sharedcheckUpdateUtil().mustToUpdate()) {
        VelVoiceHudHook::showSpeechView(RakLocalizedString::rakAppLocalizedString(QStringLiteral("请更新客户端")), 0, 0);
        VelVoiceHudHook::dismissSpeechView(2.5);
        return;
    }
    // The block may close the connection (and so clear itself): call a copy.
    const KeyEventBlock block = m_callbackBlock;
    block(1, code);
}

void VelHidapiManager::hidRequestReloadCallback(ReloadCompletion completion)
{
    if (!m_handle) {
        print(QStringLiteral("hidRequestReloadCallback：unable to open device "));
        if (completion)
            completion(false, QString());
        return;
    }
    uint8_t buf[16] = {0x0F, 0x04, 0xA0, 0x00, 0x00};
    if (m_handle->write(buf, sizeof buf) < 0) {
        print(QStringLiteral("Unable to write()"));
        print(QStringLiteral("Error: %1\n").arg(m_handle->errorText()));
        if (completion)
            completion(false, QString());
        return;
    }
    print(QStringLiteral("write success"));
    if (completion)
        completion(true, QString());
}

void VelHidapiManager::hidRequestClose()
{
    m_callbackBlock = nullptr;
    if (m_timer) {
        m_timer->stop();
        delete m_timer;
    }
    m_handle.reset();
    transport().exit();
    m_hidDeviceConnected = false;
}
