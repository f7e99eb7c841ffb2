#pragma once

#include "platform/AudioInput.h"

#include <QObject>

class QAudioSource;
class QIODevice;
class QThread;

// The default audio input through QAudioSource, on a thread of its own.
// Whatever sizes the backend hands over are cut into 1280-byte buffers.
class QtAudioInput : public AudioInput
{
public:
    QtAudioInput();
    ~QtAudioInput() override;

    bool start(BufferHandler handler) override;
    void stop() override;

private:
    class Worker;
    QThread *m_thread = nullptr;
    Worker *m_worker = nullptr;
};
