#pragma once

#include "VelLocalSpeechEngine.h"

#include <QThread>

class VelLocalSphinxDecoder;

// English recognition of the streamed PCM on a worker thread, with a fresh
// decoder per connection: partials go out as "rpl" when the hypothesis changes,
// each sentence when the speaker pauses, the rest and the final message after
// the end marker. With the "english" scene a sentence is one "apd"; for other
// scenes it is an "rpl" of the whole sentence followed by an empty "apd", which
// is how a client that appends confirmed text to the partial assembles it.
class VelLocalOfflineEngine : public VelLocalSpeechEngine
{
    Q_OBJECT
public:
    explicit VelLocalOfflineEngine(const QString &scene, QObject *parent = nullptr);
    ~VelLocalOfflineEngine() override;

    void feedAudio(const QByteArray &pcm) override;
    void endOfAudio() override;

private:
    void onWorker(std::function<void()> work);
    void publishSentence(const QString &sentence);
    static QString asSentence(const QString &hypothesis);

    QString m_scene;
    QThread m_thread;
    QObject *m_workerContext = nullptr;          // lives on m_thread
    VelLocalSphinxDecoder *m_decoder = nullptr;  // used only on m_thread
    bool m_failed = false;                       // read and written on m_thread only
    bool m_ended = false;
};
