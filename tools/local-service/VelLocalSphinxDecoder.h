#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct ps_decoder_s;
struct cmd_ln_s;

// English recognition of 16 kHz mono PCM with pocketsphinx, split into
// sentences at pauses. Not thread-safe: one decoder per connection, used on
// one worker thread.
class VelLocalSphinxDecoder
{
public:
    struct Event {
        bool sentence = false;  // true: a finished sentence; false: the partial hypothesis changed
        QString text;
    };

    static QString modelDir();  // the pocketsphinx English model folder

    VelLocalSphinxDecoder() = default;
    ~VelLocalSphinxDecoder();
    VelLocalSphinxDecoder(const VelLocalSphinxDecoder &) = delete;
    VelLocalSphinxDecoder &operator=(const VelLocalSphinxDecoder &) = delete;

    bool open(QString *error);
    QList<Event> feed(const QByteArray &pcm);
    QString finish();  // ends the utterance in progress, returns its text

private:
    QString hypothesis() const;

    cmd_ln_s *m_config = nullptr;
    ps_decoder_s *m_decoder = nullptr;
    QByteArray m_oddByte;
    bool m_inUtterance = false;
    bool m_sawSpeech = false;
    QString m_lastPartial;
};
