#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// The mouse's side of the audio link: 16 kHz mono PCM in, 32-byte mono SBC
// frames out (8 subbands, 16 blocks, bitpool 12, loudness allocation: 128
// samples = 8 ms per frame).
class VelSbcEncoder
{
public:
    static constexpr int kSampleRate = 16000;
    static constexpr int kSamplesPerFrame = 128;
    static constexpr int kFrameSize = 32;

    VelSbcEncoder();
    ~VelSbcEncoder();

    // Encodes 16-bit little-endian mono PCM; a last partial frame is padded
    // with silence.
    QList<QByteArray> encode(const QByteArray &pcm);

    // Reads a PCM WAV file (16-bit, any channel count, any rate) as 16 kHz
    // mono: channels are mixed down, other rates resampled linearly. Empty
    // with `error` set when the file cannot be used.
    static QByteArray readWavAs16kMono(const QString &path, QString *error);

private:
    struct Encoder;
    std::unique_ptr<Encoder> m_encoder;
};
