#include "VelSimulatedReceiver.h"

#include "device/VelDeviceIdentity.h"
#include "sim/VelSbcEncoder.h"
#include "util/VelLog.h"

#include <cstring>

namespace {
const QString kNodePath = QStringLiteral("sim:receiver");
const QString kMouseInterfacePath = QStringLiteral("sim:receiver/0");
const QString kVendorInterfacePath = QStringLiteral("sim:receiver/1");
} // namespace

class VelSimulatedReceiver::Watcher : public HidPresenceWatcher
{
public:
    explicit Watcher(VelSimulatedReceiver *receiver)
        : m_receiver(receiver)
    {
    }
    ~Watcher() override
    {
        if (m_receiver)
            m_receiver->m_watchers.removeAll(this);
    }
    bool start(Handler arrived, Handler removed) override
    {
        arrivedHandler = std::move(arrived);
        removedHandler = std::move(removed);
        m_receiver->m_watchers.append(this);
        if (m_receiver->m_plugged && arrivedHandler)
            arrivedHandler(m_receiver->deviceInfo());
        return true;
    }
    Handler arrivedHandler;
    Handler removedHandler;

private:
    VelSimulatedReceiver *m_receiver;
};

namespace {

class SimDevice : public HidDevice
{
public:
    explicit SimDevice(VelSimulatedReceiver *receiver)
        : m_receiver(receiver)
    {
        m_receiver->deviceOpened();
    }
    ~SimDevice() override { m_receiver->deviceClosed(); }
    int read(uint8_t *data, size_t length) override { return m_receiver->readReport(data, length); }
    int write(const uint8_t *data, size_t length) override { return m_receiver->writeReport(data, length); }
    bool setNonblocking(bool) override { return true; }
    QString errorText() const override
    {
        return m_receiver->isPlugged() ? QString() : QStringLiteral("No such device");
    }

private:
    VelSimulatedReceiver *m_receiver;
};

class SimTransport : public HidTransport
{
public:
    explicit SimTransport(VelSimulatedReceiver *receiver)
        : m_receiver(receiver)
    {
    }
    bool init() override { return true; }
    void exit() override {}
    QList<HidInterfaceInfo> enumerate(uint16_t vendorId, uint16_t productId) override
    {
        const HidDeviceInfo device = m_receiver->deviceInfo();
        if (!m_receiver->isPlugged() || (vendorId && vendorId != device.vendorId)
            || (productId && productId != device.productId))
            return {};
        HidInterfaceInfo mouse;
        mouse.path = kMouseInterfacePath;
        mouse.vendorId = device.vendorId;
        mouse.productId = device.productId;
        mouse.manufacturer = QStringLiteral("Travik");
        mouse.product = device.productName;
        mouse.releaseNumber = 0x0100;
        mouse.interfaceNumber = 0;
        mouse.usagePage = 0x0001;
        mouse.usage = 0x0002;
        HidInterfaceInfo vendor = mouse;
        vendor.path = kVendorInterfacePath;
        vendor.interfaceNumber = 1;
        vendor.usagePage = 0xFF03;
        vendor.usage = 0;
        return {mouse, vendor};
    }
    std::unique_ptr<HidDevice> openPath(const QString &path) override
    {
        if (!m_receiver->isPlugged() || (path != kVendorInterfacePath && path != kMouseInterfacePath))
            return nullptr;
        return std::make_unique<SimDevice>(m_receiver);
    }
    QString errorText() const override { return QString(); }
    QStringList receiverNodePaths(uint16_t vendorId, uint16_t productId) override
    {
        const HidDeviceInfo device = m_receiver->deviceInfo();
        if (m_receiver->isPlugged() && vendorId == device.vendorId && productId == device.productId)
            return {kVendorInterfacePath};
        return {};
    }

private:
    VelSimulatedReceiver *m_receiver;
};

} // namespace

QString VelSimulatedReceiver::productName()
{
    return VelDeviceIdentity::acceptedProductNames().constFirst();
}

VelSimulatedReceiver::VelSimulatedReceiver(int deviceKind, QObject *parent)
    : QObject(parent)
    , m_deviceKind(deviceKind == 1 ? 1 : 2)
{
    m_clock.start();
    m_audioTimer.setTimerType(Qt::PreciseTimer);
    m_audioTimer.setInterval(2);
    connect(&m_audioTimer, &QTimer::timeout, this, &VelSimulatedReceiver::pumpAudio);
}

VelSimulatedReceiver::~VelSimulatedReceiver()
{
    for (Watcher *watcher : std::as_const(m_watchers))
        watcher->arrivedHandler = watcher->removedHandler = nullptr;
}

void VelSimulatedReceiver::installAsPlatform()
{
    HidPresenceWatcher::setFactory([this] { return createWatcher(); });
    HidTransport::setFactory([this] { return createTransport(); });
}

std::unique_ptr<HidPresenceWatcher> VelSimulatedReceiver::createWatcher()
{
    return std::make_unique<Watcher>(this);
}

std::unique_ptr<HidTransport> VelSimulatedReceiver::createTransport()
{
    return std::make_unique<SimTransport>(this);
}

HidDeviceInfo VelSimulatedReceiver::deviceInfo() const
{
    HidDeviceInfo info;
    info.productName = productName();
    info.vendorId = VelDeviceIdentity::kVendorId;
    info.productId = m_deviceKind == 1 ? VelDeviceIdentity::kProductIdKind1 : VelDeviceIdentity::kProductIdKind2;
    info.path = kNodePath;
    return info;
}

void VelSimulatedReceiver::plug()
{
    if (m_plugged)
        return;
    m_plugged = true;
    velLog(QStringLiteral("模拟接收器：已插入（设备类型 %1）").arg(m_deviceKind));
    const HidDeviceInfo info = deviceInfo();
    for (Watcher *watcher : QList<Watcher *>(m_watchers))
        if (watcher->arrivedHandler)
            watcher->arrivedHandler(info);
}

void VelSimulatedReceiver::unplug()
{
    if (!m_plugged)
        return;
    m_plugged = false;
    m_queue.clear();
    m_audioTimer.stop();
    m_stream.clear();
    m_streamIndex = 0;
    velLog(QStringLiteral("模拟接收器：已拔出"));
    const HidDeviceInfo info = deviceInfo();
    for (Watcher *watcher : QList<Watcher *>(m_watchers))
        if (watcher->removedHandler)
            watcher->removedHandler(info);
}

QByteArray VelSimulatedReceiver::informationReport() const
{
    // 0: report id, 1 power, 2 random code, 3 battery, 4 DPI code, 6 LED
    // switch, 7 model (high nibble) and sensor (low nibble), 8 firmware,
    // 10-15 serial number.
    const uint8_t bytes[16] = {0x02, uint8_t(m_power), 0x5A, uint8_t(m_battery), 0x02, 0x00, 0x01, 0x12,
                               0x07, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    return QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

void VelSimulatedReceiver::queueReport(const QByteArray &report)
{
    if (!m_plugged)
        return;
    if (int(m_queue.size()) >= kQueueCapacity) {
        m_queue.pop_front();
        ++m_reportsDropped;
    }
    m_queue.push_back({report, m_clock.nsecsElapsed()});
}

void VelSimulatedReceiver::setStatus(int power, int battery)
{
    m_power = power;
    m_battery = battery;
    // 0: report id, 1 power, 3 battery, 5 key code (none).
    const uint8_t bytes[6] = {0x01, uint8_t(power), 0x00, uint8_t(battery), 0x00, 0x00};
    queueReport(QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes));
}

void VelSimulatedReceiver::pressKey(uint8_t code)
{
    const uint8_t bytes[6] = {0x01, uint8_t(m_power), 0x00, uint8_t(m_battery), 0x00, code};
    queueReport(QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes));
}

bool VelSimulatedReceiver::streamAudioFrames(const QList<QByteArray> &frames, QString *error)
{
    if (m_deviceKind == 1) {
        if (error)
            *error = QStringLiteral("device kind 1 has no microphone of its own");
        return false;
    }
    if (!m_plugged) {
        if (error)
            *error = QStringLiteral("the receiver is unplugged");
        return false;
    }
    if (isStreaming()) {
        if (error)
            *error = QStringLiteral("audio is already streaming");
        return false;
    }
    m_stream = frames;
    m_streamIndex = 0;
    m_streamStartNs = m_clock.nsecsElapsed();
    pumpAudio();
    m_audioTimer.start();
    return true;
}

bool VelSimulatedReceiver::streamAudioFile(const QString &wavPath, QString *error, int *frameCount)
{
    const QByteArray pcm = VelSbcEncoder::readWavAs16kMono(wavPath, error);
    if (pcm.isEmpty()) {
        if (error && error->isEmpty())
            *error = QStringLiteral("%1 holds no audio").arg(wavPath);
        return false;
    }
    VelSbcEncoder encoder;
    const QList<QByteArray> frames = encoder.encode(pcm);
    if (frameCount)
        *frameCount = int(frames.size());
    return streamAudioFrames(frames, error);
}

void VelSimulatedReceiver::pumpAudio()
{
    // Frames leave on the mouse's clock, whatever the timer's jitter.
    const qint64 due = (m_clock.nsecsElapsed() - m_streamStartNs) / (kFrameIntervalUs * 1000LL) + 1;
    while (m_streamIndex < m_stream.size() && m_streamIndex < due) {
        queueReport(m_stream.at(m_streamIndex++));
        ++m_audioFramesSent;
    }
    if (m_streamIndex >= m_stream.size() && m_audioTimer.isActive()) {
        m_audioTimer.stop();
        velLog(QStringLiteral("模拟接收器：音频发送完毕，共 %1 帧").arg(m_stream.size()));
        m_stream.clear();
        m_streamIndex = 0;
    }
}

void VelSimulatedReceiver::setReadObserver(std::function<void(const QByteArray &, qint64)> observer)
{
    m_readObserver = std::move(observer);
}

int VelSimulatedReceiver::readReport(uint8_t *data, size_t length)
{
    if (!m_plugged)
        return -1;
    if (m_queue.empty())
        return 0;
    const Report report = std::move(m_queue.front());
    m_queue.pop_front();
    const size_t n = std::min(length, size_t(report.bytes.size()));
    std::memcpy(data, report.bytes.constData(), n);
    if (m_readObserver)
        m_readObserver(report.bytes, m_clock.nsecsElapsed() - report.queuedAtNs);
    return int(n);
}

int VelSimulatedReceiver::writeReport(const uint8_t *data, size_t length)
{
    if (!m_plugged)
        return -1;
    // The reload command: the device reports its information again.
    if (length >= 3 && data[0] == 0x0F && data[1] == 0x04 && data[2] == 0xA0)
        queueReport(informationReport());
    return int(length);
}

void VelSimulatedReceiver::deviceOpened()
{
    // The receiver reports its information as soon as the interface opens.
    if (m_openDevices++ == 0)
        queueReport(informationReport());
}

void VelSimulatedReceiver::deviceClosed()
{
    --m_openDevices;
}
