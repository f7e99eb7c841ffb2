#pragma once

#include "platform/AudioInput.h"

#include <QByteArray>

#include <atomic>
#include <functional>
#include <memory>

// Records the computer's default audio input and hands 1280-byte chunks
// (40 ms of 16 kHz mono 16-bit PCM) to a block on the input's own thread.
// One object per microphone session: it cannot be restarted once stopped.
class VelAudioQueueCapture
{
public:
    using Block = std::function<void(const QByteArray &pcm)>;
    static constexpr int kBufferBytes = AudioInput::kBufferBytes;

    explicit VelAudioQueueCapture(std::unique_ptr<AudioInput> input = AudioInput::create());
    ~VelAudioQueueCapture();

    void startRecordWithBlock(Block block);
    // Stops at once; one more buffer (the partly filled one) may still reach
    // the block after this, and no other.
    void stopRecord();
    bool isRecording() const { return m_isRecording.load(); }

    // The input's callback for each filled buffer (public for the tests that
    // play the input's part).
    void handleFilledBuffer(const QByteArray &buffer);

    // Process-wide: buffers that arrived since the last stop (reset by every start).
    static int afterStopCount() { return s_afterStopCounter.load(); }

private:
    std::unique_ptr<AudioInput> m_input;
    Block m_block;
    std::atomic<bool> m_isRecording{false};
    bool m_used = false;

    static std::atomic<bool> s_running;
    static std::atomic<int> s_afterStopCounter;
};
