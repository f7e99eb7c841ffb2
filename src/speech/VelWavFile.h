#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The 44-byte header of a canonical PCM WAV file, and reading one back.
class VelWavFile
{
public:
    static constexpr int kHeaderSize = 44;

    struct Format {
        quint32 sampleRate = 16000;
        quint16 channels = 1;
        quint16 bitsPerSample = 16;
        quint32 byteRate() const { return sampleRate * channels * bitsPerSample / 8; }
        quint16 blockAlign() const { return quint16(channels * bitsPerSample / 8); }
    };

    struct Info {
        Format format;
        qint64 dataOffset = 0;    // where the samples start
        quint32 dataSize = 0;     // as the header says
        quint32 riffSize = 0;     // as the header says
    };

    // RIFF size 36 + L, data size L.
    static QByteArray header(quint32 dataSize);
    static QByteArray header(quint32 dataSize, const Format &format);
    // Parses the RIFF/WAVE header: the "fmt " chunk (PCM only) and where the
    // "data" chunk starts. nullopt when it is not a PCM WAV file.
    static std::optional<Info> parse(const QByteArray &head);
    static std::optional<Info> parseFile(const QString &path);
    // Rewrites the two size fields of a file we wrote (header at offset 0)
    // from its length on disk. True when the file now says what it holds.
    static bool patchSizes(const QString &path);
    // The samples of a 16 kHz mono 16-bit WAV file; nullopt (with the reason
    // in *error) for anything else.
    static std::optional<QByteArray> readPcm16kMono(const QString &path, QString *error = nullptr);
};
