#pragma once

#include "platform/HidTransport.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

// The receiver's vendor interface: open, read the information report, poll
// the input reports every 10 ms (status, key events, SBC audio) and close.
// Everything runs on the main thread.
class VelHidapiManager : public QObject
{
    Q_OBJECT
public:
    using KeyEventBlock = std::function<void(qint64 status, qint64 keyCode)>;
    using PcmBlock = std::function<void(const QByteArray &pcm, qint64 unused)>;
    using ReloadCompletion = std::function<void(bool success, const QString &message)>;
    // The level meter every decoded frame (or a failed one, as nullopt) goes to.
    using LevelMeter = std::function<int32_t(const std::optional<QByteArray> &pcm)>;

    static constexpr int kPollIntervalMs = 10;
    static constexpr int kInfoReportSize = 16;
    static constexpr int kPollReportSize = 32;
    // A poll takes every report already queued, up to this many, so a flood
    // cannot hold the main thread.
    static constexpr int kMaxReportsPerPoll = 32;

    static VelHidapiManager &sharedVelHidapiManager();
    ~VelHidapiManager() override;

    void hidRequestReadMouseInfoVid(uint16_t vid, uint16_t pid, KeyEventBlock callback);
    void hidRequestClose();
    void getHidInfo();
    void timerRun();
    void rowdataPcmAudioCallBack(PcmBlock block);
    void hidRequestReloadCallback(ReloadCompletion completion);

    bool hidDeviceConnected() const { return m_hidDeviceConnected; }
    qint64 pressType() const { return m_pressType; }
    bool isPolling() const;
    // Audio frames handled by the poll since start, and how many of them decoded.
    quint64 audioFramesReceived() const { return m_audioFramesReceived; }
    quint64 audioFramesDecoded() const { return m_audioFramesDecoded; }

    // One report as the poll handles it (`data` holds the whole 32-byte poll
    // buffer, `length` the bytes read) and the information report as the
    // information read handles it. Public for replayed report tables.
    void handlePollReport(const uint8_t *data, int length);
    // True when the report was long enough to count as the information report.
    bool handleInformationReport(const uint8_t *data, int length);

    // The transport used from the next open on; the platform's by default.
    void setTransport(std::unique_ptr<HidTransport> transport);
    void setLevelMeter(LevelMeter meter);

protected:
    VelHidapiManager();

private:
    HidTransport &transport();
    void deliverKey(uint8_t code);

    std::unique_ptr<HidTransport> m_transport;
    std::unique_ptr<HidDevice> m_handle;
    bool m_hidDeviceConnected = false;
    KeyEventBlock m_callbackBlock;
    PcmBlock m_pcmCallBack;
    LevelMeter m_levelMeter;
    QPointer<QTimer> m_timer;
    qint64 m_pressType = 0;
    quint64 m_audioFramesReceived = 0;
    quint64 m_audioFramesDecoded = 0;
};
