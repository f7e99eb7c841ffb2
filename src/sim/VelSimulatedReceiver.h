#pragma once

#include "platform/HidPresenceWatcher.h"
#include "platform/HidTransport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

class VelSbcEncoder;

// A stand-in for the USB receiver and its mouse. It offers a presence watcher
// and a HID transport that behave like the real ones: the vendor interface on
// usage page 0xFF03, the information report when the interface is opened and
// after each reload command, status reports with key codes, and SBC audio
// frames streamed at the mouse's real rate (125 frames a second). Reports wait
// in a bounded queue as they do in the kernel's.
class VelSimulatedReceiver : public QObject
{
    Q_OBJECT
public:
    static constexpr int kQueueCapacity = 64;
    static constexpr int kFrameIntervalUs = 8000;
    static QString productName();

    explicit VelSimulatedReceiver(int deviceKind = 2, QObject *parent = nullptr);
    ~VelSimulatedReceiver() override;

    // Makes the platform's watcher and transport factories hand out this
    // receiver's, so the app sees it as real hardware.
    void installAsPlatform();
    std::unique_ptr<HidPresenceWatcher> createWatcher();
    std::unique_ptr<HidTransport> createTransport();

    int deviceKind() const { return m_deviceKind; }
    HidDeviceInfo deviceInfo() const;

    void plug();
    void unplug();
    bool isPlugged() const { return m_plugged; }
    bool isOpen() const { return m_openDevices > 0; }

    // Mouse state; each change is sent as a status report while plugged.
    void setStatus(int power, int battery);
    int power() const { return m_power; }
    int battery() const { return m_battery; }
    void pressKey(uint8_t code);

    // Streams the frames at 125 a second from now on. False (with `error`)
    // when this kind of mouse has no microphone or a stream already runs.
    bool streamAudioFrames(const QList<QByteArray> &frames, QString *error);
    bool streamAudioFile(const QString &wavPath, QString *error, int *frameCount = nullptr);
    bool isStreaming() const { return m_streamIndex < m_stream.size(); }

    // Puts one report in the queue as the device would send it.
    void queueReport(const QByteArray &report);
    QByteArray informationReport() const;

    quint64 audioFramesSent() const { return m_audioFramesSent; }
    quint64 reportsDropped() const { return m_reportsDropped; }
    int queuedReports() const { return int(m_queue.size()); }

    // Called for each report the host reads, with how long it waited queued.
    void setReadObserver(std::function<void(const QByteArray &report, qint64 waitedNs)> observer);

    // Used by the transport's device.
    int readReport(uint8_t *data, size_t length);
    int writeReport(const uint8_t *data, size_t length);
    void deviceOpened();
    void deviceClosed();

private:
    struct Report {
        QByteArray bytes;
        qint64 queuedAtNs;
    };
    class Watcher;
    friend class Watcher;

    void pumpAudio();

    int m_deviceKind;
    bool m_plugged = false;
    int m_openDevices = 0;
    int m_power = 1;
    int m_battery = 80;
    std::deque<Report> m_queue;
    QElapsedTimer m_clock;
    QList<Watcher *> m_watchers;
    QList<QByteArray> m_stream;
    qsizetype m_streamIndex = 0;
    qint64 m_streamStartNs = 0;
    QTimer m_audioTimer;
    quint64 m_audioFramesSent = 0;
    quint64 m_reportsDropped = 0;
    std::function<void(const QByteArray &, qint64)> m_readObserver;
};
