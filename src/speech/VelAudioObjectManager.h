#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QFile;

// Receives audio levels for the visible voice HUD. Both calls are optional
// (the defaults do nothing) and arrive on the thread that measured the level.
class VelAudioObjectManagerDelegate
{
public:
    virtual ~VelAudioObjectManagerDelegate() = default;
    virtual void getAudioDecibelValue(int32_t level) { Q_UNUSED(level); }
    virtual void hideMicrophoneLevel() {}
};

// The recording writer (a WAV file in the Documents folder per smart
// recording or caption session) and the audio level meter.
class VelAudioObjectManager
{
public:
    struct RecorderSettings {
        double sampleRate = 16000.0;
        QString formatId = QStringLiteral("lpcm");
        int linearPcmBitDepth = 16;
        int numberOfChannels = 1;
    };

    static VelAudioObjectManager &sharedManager();

    // Opens "<MAC> <yyyyMMddHHmmss> <kind>.wav" in the Documents folder.
    void beginRecordWithRecordorZhiMu(const QString &kind);
    // Appends a chunk while a recording is open; nothing otherwise.
    void writePcmData(const QByteArray &pcm);
    // Closes the recording and fills in the WAV header's sizes.
    void endRecord();

    // Seconds of audio, rounded ("%.f"), from the WAV header.
    QString getAudioDurationWithFilePath(const QString &path) const;
    static RecorderSettings GetAudioRecorderSettingDictWithChannelNum(int channels);

    // Decibel level of a chunk of 16-bit samples: 0 for a missing chunk (and
    // no delegate call); the lowest level (INT32_MIN) for silence or a chunk
    // too short to hold a sample.
    int32_t isQuite(const std::optional<QByteArray> &pcm);
    static int32_t levelOf(const QByteArray &pcm);
    void endAudioLevelCheck();

    void setDelegate(std::weak_ptr<VelAudioObjectManagerDelegate> delegate);

    QString createTime() const;
    QString fileName() const;
    QString recordTitle() const;
    QString audioFilePath() const;
    QString filePath() const;
    bool isRecordingOpen() const;

    // Repairs recordings that a crash left with an unfinished header.
    static int repairUnfinishedRecordings(const QString &folder);

protected:
    VelAudioObjectManager();

private:
    std::shared_ptr<VelAudioObjectManagerDelegate> delegate() const;

    mutable QMutex m_mutex; // the file handle and the names: shared with the audio thread
    std::unique_ptr<QFile> m_fileHandler;
    QString m_createTime;
    QString m_fileName;
    QString m_recordTitle;
    QString m_filePath;
    bool m_writeFailed = false;

    mutable QMutex m_delegateMutex;
    std::weak_ptr<VelAudioObjectManagerDelegate> m_delegate;
};
