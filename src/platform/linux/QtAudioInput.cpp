#include "QtAudioInput.h"

#include "util/VelLog.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QMediaDevices>
#include <QMetaObject>
#include <QThread>

class QtAudioInput::Worker : public QObject
{
public:
    bool start(BufferHandler handler)
    {
        m_handler = std::move(handler);
        const QAudioDevice device = QMediaDevices::defaultAudioInput();
        if (device.isNull()) {
            velLog(QStringLiteral("麦克风不可用：没有音频输入设备（请连接麦克风，或检查声音服务器是否在运行）"));
            return false;
        }
        QAudioFormat format;
        format.setSampleRate(kSampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        m_source = new QAudioSource(device, format, this);
        // Three 40 ms buffers in rotation.
        m_source->setBufferSize(3 * kBufferBytes);
        m_io = m_source->start();
        if (!m_io || m_source->error() != QAudio::NoError) {
            velLog(QStringLiteral("麦克风无法启动：%1（错误 %2）").arg(device.description()).arg(int(m_source->error())));
            delete m_source;
            m_source = nullptr;
            m_io = nullptr;
            return false;
        }
        connect(m_io, &QIODevice::readyRead, this, [this] { drain(false); });
        return true;
    }

    void stop()
    {
        if (!m_source)
            return;
        drain(true);
        m_source->stop();
        delete m_source;
        m_source = nullptr;
        m_io = nullptr;
    }

private:
    void drain(bool final)
    {
        if (m_io)
            m_pending += m_io->readAll();
        while (m_pending.size() >= kBufferBytes) {
            m_handler(m_pending.first(kBufferBytes));
            m_pending.remove(0, kBufferBytes);
        }
        if (final) {
            m_handler(m_pending);
            m_pending.clear();
        }
    }

    BufferHandler m_handler;
    QAudioSource *m_source = nullptr;
    QIODevice *m_io = nullptr;
    QByteArray m_pending;
};

QtAudioInput::QtAudioInput()
    : m_thread(new QThread)
    , m_worker(new Worker)
{
    m_thread->setObjectName(QStringLiteral("audio-input"));
    m_worker->moveToThread(m_thread);
    m_thread->start();
}

QtAudioInput::~QtAudioInput()
{
    stop();
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

bool QtAudioInput::start(BufferHandler handler)
{
    bool started = false;
    QMetaObject::invokeMethod(
        m_worker, [this, &started, handler = std::move(handler)]() mutable { started = m_worker->start(std::move(handler)); },
        Qt::BlockingQueuedConnection);
    return started;
}

void QtAudioInput::stop()
{
    if (QThread::currentThread() == m_thread)
        m_worker->stop();
    else
        QMetaObject::invokeMethod(m_worker, [this] { m_worker->stop(); }, Qt::BlockingQueuedConnection);
}
