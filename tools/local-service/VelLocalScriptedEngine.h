#pragma once

#include "VelLocalSpeechEngine.h"

#include <QList>
#include <QTimer>

// Plays a transcript script against the audio a client streams, for tests of
// the recognizer's paths: results released after given numbers of audio chunks
// or after the end marker, injected error codes, delays, dropped connections.
//
// Script, as JSON: {"steps": [{"after": 2, "pgs": "rpl", "text": "你好"},
//   {"after": "end", "pgs": "apd", "text": "你好。"}, {"after": 3, "code": 10114},
//   {"after": 5, "drop": true}, {"after": 1, "close": true}, … ]}
// Each step may add "delayMs" (wait before it goes out) and "finish": true (it
// carries "is_finish"; otherwise a final message without text follows the last
// step after the end marker). Or as lines: "2 rpl 你好", "end apd 你好。",
// "3 error 10114", "5 drop", "1 close", "delay 300" (applies to the next line).
class VelLocalScriptedEngine : public VelLocalSpeechEngine
{
    Q_OBJECT
public:
    struct Step {
        int after = 0;        // audio chunks received before the step goes out
        bool atEnd = false;   // goes out after the end marker instead
        QString pgs;
        QString text;
        int code = 0;         // non-zero: an error message
        QString desc;
        bool drop = false;
        bool close = false;
        bool finish = false;
        int delayMs = 0;
    };

    // Parses either form; returns false and an explanation when the script is malformed.
    static bool parse(const QString &script, QList<Step> *steps, QString *error);

    explicit VelLocalScriptedEngine(QList<Step> steps, QObject *parent = nullptr);

    void start();  // releases steps due before any audio
    void feedAudio(const QByteArray &pcm) override;
    void endOfAudio() override;

private:
    void release();
    void pump();
    void send(const Step &step);

    QList<Step> m_steps;
    QList<Step> m_due;
    qsizetype m_next = 0;
    int m_chunks = 0;
    bool m_ended = false;
    bool m_finishSent = false;
    bool m_pumping = false;
};
