// Arbitrary input reports through the poll handling of an open receiver.
#include "app/VelUserInfoData.h"
#include "device/VelHidapiManager.h"
#include "platform/VelUserDefaults.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <deque>

namespace {

// Each input is cut into reports: a length byte, then that many bytes.
class ReplayDevice : public HidDevice
{
public:
    std::deque<QByteArray> *reports;
    explicit ReplayDevice(std::deque<QByteArray> *r)
        : reports(r)
    {
    }
    int read(uint8_t *data, size_t length) override
    {
        if (reports->empty())
            return 0;
        const QByteArray report = reports->front();
        reports->pop_front();
        if (report.isEmpty())
            return -1;
        const size_t n = std::min(length, size_t(report.size()));
        memcpy(data, report.constData(), n);
        return int(n);
    }
    int write(const uint8_t *, size_t length) override { return int(length); }
    bool setNonblocking(bool) override { return true; }
    QString errorText() const override { return QString(); }
};

std::deque<QByteArray> g_reports;

class ReplayTransport : public HidTransport
{
public:
    bool init() override { return true; }
    void exit() override {}
    QList<HidInterfaceInfo> enumerate(uint16_t, uint16_t) override
    {
        HidInterfaceInfo info;
        info.path = QStringLiteral("fuzz");
        info.usagePage = 0xFF03;
        return {info};
    }
    std::unique_ptr<HidDevice> openPath(const QString &) override { return std::make_unique<ReplayDevice>(&g_reports); }
    QString errorText() const override { return QString(); }
    QStringList receiverNodePaths(uint16_t, uint16_t) override { return {}; }
};

struct FreshManager : VelHidapiManager {
};

FreshManager *g_hid = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QStandardPaths::setTestModeEnabled(true);
    static QTemporaryDir dir;
    VelUserDefaults::standardUserDefaults().reloadForTesting(dir.filePath(QStringLiteral("defaults.ini")));
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    g_hid = new FreshManager;
    g_hid->setTransport(std::make_unique<ReplayTransport>());
    g_hid->hidRequestReadMouseInfoVid(0xABC8, 0xCA01, [](qint64, qint64) {});
    g_hid->rowdataPcmAudioCallBack([](const QByteArray &pcm, qint64) {
        if (pcm.isEmpty())
            abort();
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    g_reports.clear();
    for (size_t pos = 0; pos < size;) {
        const size_t length = std::min<size_t>(data[pos] % 40, size - pos - 1);
        g_reports.emplace_back(reinterpret_cast<const char *>(data + pos + 1), qsizetype(length));
        pos += 1 + length;
    }
    // The first report goes through the information handling, the rest
    // through the poll.
    if (!g_reports.empty()) {
        const QByteArray first = g_reports.front();
        g_reports.pop_front();
        g_hid->handleInformationReport(reinterpret_cast<const uint8_t *>(first.constData()), int(first.size()));
        VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().setSn(QString());
    }
    while (!g_reports.empty())
        g_hid->timerRun();
    return 0;
}
