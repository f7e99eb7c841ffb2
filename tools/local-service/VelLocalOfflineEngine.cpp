#include "VelLocalOfflineEngine.h"

#include "VelLocalRequestLog.h"
#include "VelLocalSphinxDecoder.h"

#include <QPointer>

VelLocalOfflineEngine::VelLocalOfflineEngine(const QString &scene, QObject *parent)
    : VelLocalSpeechEngine(parent)
    , m_scene(scene)
{
    m_workerContext = new QObject;
    m_workerContext->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("offline-recognizer"));
    m_thread.start();

    onWorker([this] {
        m_decoder = new VelLocalSphinxDecoder;
        QString error;
        if (!m_decoder->open(&error)) {
            m_failed = true;
            VelLocalRequestLog::line(QStringLiteral("speech: offline recognizer unavailable: %1").arg(error));
            QPointer<VelLocalOfflineEngine> self(this);
            QMetaObject::invokeMethod(this, [self, error] {
                if (self)
                    emit self->failure(10500, QStringLiteral("offline recognizer unavailable: ") + error, true);
            }, Qt::QueuedConnection);
        }
    });
}

VelLocalOfflineEngine::~VelLocalOfflineEngine()
{
    m_thread.quit();
    m_thread.wait();
    // The worker thread has stopped: no one else touches these any more.
    delete m_workerContext;
    delete m_decoder;
}

void VelLocalOfflineEngine::onWorker(std::function<void()> work)
{
    QMetaObject::invokeMethod(m_workerContext, std::move(work), Qt::QueuedConnection);
}

QString VelLocalOfflineEngine::asSentence(const QString &hypothesis)
{
    // A confirmed English sentence starts with a capital and ends with a full stop,
    // so a client can tell that it is complete.
    QString sentence = hypothesis.trimmed();
    if (sentence.isEmpty())
        return sentence;
    sentence[0] = sentence.at(0).toUpper();
    if (!sentence.endsWith(u'.') && !sentence.endsWith(u'?'))
        sentence += u'.';
    return sentence;
}

void VelLocalOfflineEngine::publishSentence(const QString &sentence)
{
    // Runs on the engine's own thread.
    if (sentence.isEmpty())
        return;
    if (m_scene == QLatin1String("english")) {
        emit result(QStringLiteral("apd"), sentence, false);
    } else {
        emit result(QStringLiteral("rpl"), sentence, false);
        emit result(QStringLiteral("apd"), QString(), false);
    }
}

void VelLocalOfflineEngine::feedAudio(const QByteArray &pcm)
{
    if (m_ended)
        return;
    QPointer<VelLocalOfflineEngine> self(this);
    onWorker([this, self, pcm] {
        if (m_failed)
            return;
        const QList<VelLocalSphinxDecoder::Event> events = m_decoder->feed(pcm);
        if (events.isEmpty())
            return;
        QMetaObject::invokeMethod(this, [self, events] {
            if (!self)
                return;
            for (const auto &event : events) {
                if (event.sentence)
                    self->publishSentence(asSentence(event.text));
                else
                    emit self->result(QStringLiteral("rpl"), event.text, false);
            }
        }, Qt::QueuedConnection);
    });
}

void VelLocalOfflineEngine::endOfAudio()
{
    if (m_ended)
        return;
    m_ended = true;
    QPointer<VelLocalOfflineEngine> self(this);
    onWorker([this, self] {
        const QString rest = m_failed ? QString() : m_decoder->finish();
        QMetaObject::invokeMethod(this, [self, rest] {
            if (!self)
                return;
            self->publishSentence(asSentence(rest));
            emit self->result(QString(), QString(), true);
        }, Qt::QueuedConnection);
    });
}
