#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// An audio input of 16 kHz mono signed 16-bit PCM that hands over filled
// buffers on its own thread, like an input audio queue.
class AudioInput
{
public:
    // Called on the input's thread with each filled buffer (kBufferBytes
    // bytes while running; the last one, after stop, may be shorter or empty).
    using BufferHandler = std::function<void(const QByteArray &buffer)>;

    static constexpr int kSampleRate = 16000;
    static constexpr int kBufferBytes = 1280; // 40 ms

    virtual ~AudioInput() = default;

    // Starts delivering buffers. False when the input cannot start (the
    // reason is logged once, saying how to fix it).
    virtual bool start(BufferHandler handler) = 0;
    // Stops at once. The partly filled buffer is handed over one last time
    // (on the input's thread, possibly empty) and nothing comes after it.
    virtual void stop() = 0;

    // The computer's default microphone, or the WAV file set with
    // setMicrophoneWavFile() (for machines without one, and for tests).
    static std::unique_ptr<AudioInput> create();
    static void setMicrophoneWavFile(const QString &path);
    static QString microphoneWavFile();
};
