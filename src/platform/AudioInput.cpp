#include "AudioInput.h"

#include "platform/linux/QtAudioInput.h"
#include "sim/WavFileAudioInput.h"

#include <QMutex>

namespace {
QMutex g_wavMutex;
QString g_wavFile;
} // namespace

void AudioInput::setMicrophoneWavFile(const QString &path)
{
    QMutexLocker lock(&g_wavMutex);
    g_wavFile = path;
}

QString AudioInput::microphoneWavFile()
{
    QMutexLocker lock(&g_wavMutex);
    return g_wavFile;
}

std::unique_ptr<AudioInput> AudioInput::create()
{
    const QString wav = microphoneWavFile();
    if (!wav.isEmpty())
        return std::make_unique<WavFileAudioInput>(wav);
    return std::make_unique<QtAudioInput>();
}
