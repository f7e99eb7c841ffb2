#include "VelAudioQueueCapture.h"

#include "speech/VelAudioObjectManager.h"

std::atomic<bool> VelAudioQueueCapture::s_running{false};
std::atomic<int> VelAudioQueueCapture::s_afterStopCounter{0};

VelAudioQueueCapture::VelAudioQueueCapture(std::unique_ptr<AudioInput> input)
    : m_input(std::move(input))
{
}

VelAudioQueueCapture::~VelAudioQueueCapture()
{
    stopRecord();
}

void VelAudioQueueCapture::startRecordWithBlock(Block block)
{
    if (m_used || !m_input)
        return;
    m_used = true;
    m_block = std::move(block);
    s_running = true;
    m_isRecording = true;
    s_afterStopCounter = 0;
    // A capture that cannot start delivers nothing; the input has said why.
    m_input->start([this](const QByteArray &buffer) { handleFilledBuffer(buffer); });
}

void VelAudioQueueCapture::stopRecord()
{
    if (!m_isRecording.exchange(false))
        return;
    s_running = false;
    if (m_input)
        m_input->stop();
    VelAudioObjectManager::sharedManager().endAudioLevelCheck();
}

void VelAudioQueueCapture::handleFilledBuffer(const QByteArray &buffer)
{
    if (buffer.isEmpty())
        return;
    QByteArray chunk = buffer;
    if (chunk.size() < kBufferBytes)
        chunk.append(QByteArray(kBufferBytes - chunk.size(), '\0'));

    if (m_isRecording.load()) {
        if (m_block)
            m_block(chunk);
        VelAudioObjectManager::sharedManager().isQuite(chunk);
        return;
    }
    // After the stop: only the first buffer goes on (it carries the end of
    // the speech, and its arrival lets the recognizer send the end marker).
    if (s_afterStopCounter.fetch_add(1) == 0 && m_block)
        m_block(chunk);
}
