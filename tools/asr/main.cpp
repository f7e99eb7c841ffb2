// travik-vazade-asr: streams a WAV file through the app's recognizer to the
// configured speech service and prints every result with its type.

#include "app/VelUserInfoData.h"
#include "sim/WavFileAudioInput.h"
#include "speech/VelAIUIWebApiAsrService.h"
#include "speech/VelWavFile.h"
#include "util/VelLog.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {
const char *typeName(qint64 type)
{
    switch (type) {
    case 1:
        return "partial";
    case 2:
        return "sentence";
    case 3:
        return "final";
    default:
        return "failure";
    }
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("travik-vazade-asr"));
    VelLog::setUseStandardError(true); // standard output carries the results
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Streams a 16 kHz mono 16-bit WAV file through the recognizer, in real time, and prints each result."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE.wav"), QStringLiteral("the speech to recognize"));
    parser.addOption({QStringLiteral("language"), QStringLiteral("main (Mandarin, the default) or english"),
                      QStringLiteral("language"), QStringLiteral("main")});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "travik-vazade-asr: name one WAV file (see --help)\n");
        return 2;
    }
    const QString path = parser.positionalArguments().first();
    const QString language = parser.value(QStringLiteral("language"));
    if (language != QLatin1String("main") && language != QLatin1String("english")) {
        std::fprintf(stderr, "travik-vazade-asr: --language is main or english, not %s\n", qPrintable(language));
        return 2;
    }
    QString error;
    const auto pcm = VelWavFile::readPcm16kMono(path, &error);
    if (!pcm) {
        std::fprintf(stderr, "travik-vazade-asr: %s (convert it with: sox IN.wav -r 16000 -c 1 -b 16 OUT.wav)\n",
                     qPrintable(error));
        return 2;
    }

    VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().setDevieType(1); // audio from the "microphone"
    auto &asr = VelAIUIWebApiAsrService::sharedVelAIUIWebApiAsrService();
    asr.setAudioInputFactory([path] { return std::make_unique<WavFileAudioInput>(path); });

    int exitCode = 1;
    bool ended = false;
    asr.beginAsrWithRecognitionLanguage(language, QString(), [&](bool ok, const QString &text, bool, qint64 type) {
        if (!ok && text.isEmpty() && ended)
            return; // the connection closing after the final
        std::printf("%-8s %s\n", typeName(type), qPrintable(text));
        std::fflush(stdout);
        if (type == 3)
            exitCode = 0;
        if (type == 3 || type == 4)
            QCoreApplication::exit(exitCode);
    });
    // The file plays in real time from the moment the connection opens;
    // a little silence after it lets the service close the last sentence.
    const int playMs = int(pcm->size() * 1000 / (16000 * 2)) + 600;
    QTimer started;
    QObject::connect(&started, &QTimer::timeout, &app, [&] {
        if (!asr.isConnectionOpen())
            return;
        started.stop();
        QTimer::singleShot(playMs, &app, [&] {
            ended = true;
            asr.endAsr();
            QTimer::singleShot(30000, &app, [] {
                std::fprintf(stderr, "travik-vazade-asr: no final result within 30 s\n");
                QCoreApplication::exit(1);
            });
        });
    });
    started.start(20);
    QTimer::singleShot(15000, &app, [&] {
        if (!asr.isConnectionOpen() && !ended) {
            std::fprintf(stderr, "travik-vazade-asr: could not connect to the speech service\n");
            QCoreApplication::exit(1);
        }
    });
    return app.exec();
}
