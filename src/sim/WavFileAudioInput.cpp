#include "WavFileAudioInput.h"

#include "speech/VelWavFile.h"
#include "util/VelLog.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

class WavFileAudioInput::Worker : public QObject
{
public:
    bool start(const QString &path, BufferHandler handler)
    {
        QString error;
        const auto pcm = VelWavFile::readPcm16kMono(path, &error);
        if (!pcm) {
            velLog(QStringLiteral("模拟麦克风无法读取音频文件：%1").arg(error));
            return false;
        }
        m_pcm = *pcm;
        m_handler = std::move(handler);
        m_sent = 0;
        m_position = 0;
        m_clock.start();
        m_timer = new QTimer(this);
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer->start(10);
        return true;
    }

    void stop()
    {
        if (!m_timer)
            return;
        delete m_timer;
        m_timer = nullptr;
        // What the "queue" had gathered of the next buffer.
        const qint64 due = m_clock.elapsed() * kSampleRate * 2 / 1000 - m_sent * kBufferBytes;
        m_handler(nextBytes(int(std::clamp<qint64>(due, 0, kBufferBytes - 2)) & ~1));
    }

private:
    // Buffers are due by the wall clock, so timer jitter never drifts the pace.
    void tick()
    {
        const qint64 due = m_clock.elapsed() / 40;
        while (m_sent < due) {
            m_handler(nextBytes(kBufferBytes));
            ++m_sent;
        }
    }

    QByteArray nextBytes(int count)
    {
        QByteArray out = m_pcm.mid(m_position, count);
        m_position += out.size();
        out.append(QByteArray(count - out.size(), '\0'));
        return out;
    }

    QByteArray m_pcm;
    qint64 m_position = 0;
    qint64 m_sent = 0;
    QElapsedTimer m_clock;
    QTimer *m_timer = nullptr;
    BufferHandler m_handler;
};

WavFileAudioInput::WavFileAudioInput(const QString &path)
    : m_path(path)
    , m_thread(new QThread)
    , m_worker(new Worker)
{
    m_thread->setObjectName(QStringLiteral("wav-input"));
    m_worker->moveToThread(m_thread);
    m_thread->start();
}

WavFileAudioInput::~WavFileAudioInput()
{
    stop();
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

bool WavFileAudioInput::start(BufferHandler handler)
{
    bool started = false;
    QMetaObject::invokeMethod(
        m_worker, [this, &started, handler = std::move(handler)]() mutable { started = m_worker->start(m_path, std::move(handler)); },
        Qt::BlockingQueuedConnection);
    return started;
}

void WavFileAudioInput::stop()
{
    if (QThread::currentThread() == m_thread)
        m_worker->stop();
    else
        QMetaObject::invokeMethod(m_worker, [this] { m_worker->stop(); }, Qt::BlockingQueuedConnection);
}
