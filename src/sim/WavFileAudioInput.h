#pragma once

#include "platform/AudioInput.h"

class QThread;
class QTimer;

// A microphone that plays a 16 kHz mono WAV file in real time: a 1280-byte
// buffer every 40 ms on its own thread, then silence, as a microphone in a
// quiet room would deliver.
class WavFileAudioInput : public AudioInput
{
public:
    explicit WavFileAudioInput(const QString &path);
    ~WavFileAudioInput() override;

    bool start(BufferHandler handler) override;
    void stop() override;

private:
    class Worker;
    QString m_path;
    QThread *m_thread = nullptr;
    Worker *m_worker = nullptr;
};
