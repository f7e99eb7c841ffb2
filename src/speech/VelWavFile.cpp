#include "VelWavFile.h"

#include <QFile>
#include <QtEndian>

namespace {

void putLE32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void putLE16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

quint32 le32(const QByteArray &data, qint64 at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

quint16 le16(const QByteArray &data, qint64 at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

} // namespace

QByteArray VelWavFile::header(quint32 dataSize)
{
    return header(dataSize, Format());
}

QByteArray VelWavFile::header(quint32 dataSize, const Format &format)
{
    QByteArray out;
    out.reserve(kHeaderSize);
    out.append("RIFF", 4);
    putLE32(out, 36 + dataSize);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    putLE32(out, 16);
    putLE16(out, 1); // PCM
    putLE16(out, format.channels);
    putLE32(out, format.sampleRate);
    putLE32(out, format.byteRate());
    putLE16(out, format.blockAlign());
    putLE16(out, format.bitsPerSample);
    out.append("data", 4);
    putLE32(out, dataSize);
    return out;
}

std::optional<VelWavFile::Info> VelWavFile::parse(const QByteArray &head)
{
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return std::nullopt;
    Info info;
    info.riffSize = le32(head, 4);
    bool haveFormat = false;
    qint64 at = 12;
    // Walk the chunks; sizes come from the file, so every step is bounded.
    while (at + 8 <= head.size()) {
        const QByteArray id = head.mid(at, 4);
        const quint32 size = le32(head, at + 4);
        const qint64 body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > head.size())
                return std::nullopt;
            if (le16(head, body) != 1) // PCM only
                return std::nullopt;
            info.format.channels = le16(head, body + 2);
            info.format.sampleRate = le32(head, body + 4);
            info.format.bitsPerSample = le16(head, body + 14);
            haveFormat = info.format.channels > 0 && info.format.sampleRate > 0 && info.format.bitsPerSample > 0;
        } else if (id == "data") {
            if (!haveFormat)
                return std::nullopt;
            info.dataOffset = body;
            info.dataSize = size;
            return info;
        }
        at = body + qint64(size) + (size & 1);
    }
    return std::nullopt;
}

std::optional<VelWavFile::Info> VelWavFile::parseFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Headers with extra chunks are longer than 44 bytes; 64 KiB is plenty.
    return parse(file.read(64 * 1024));
}

bool VelWavFile::patchSizes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray head = file.read(kHeaderSize);
    const auto info = parse(head);
    if (!info || info->dataOffset != kHeaderSize)
        return false;
    const qint64 length = file.size() - kHeaderSize;
    if (length < 0 || length > qint64(0xFFFFFFFFu - 36))
        return false;
    if (info->dataSize == quint32(length) && info->riffSize == quint32(36 + length))
        return true;
    QByteArray riff, data;
    putLE32(riff, quint32(36 + length));
    putLE32(data, quint32(length));
    return file.seek(4) && file.write(riff) == 4 && file.seek(40) && file.write(data) == 4 && file.flush();
}

std::optional<QByteArray> VelWavFile::readPcm16kMono(const QString &path, QString *error)
{
    auto fail = [error](const QString &why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    const QByteArray all = file.readAll();
    const auto info = parse(all.left(64 * 1024));
    if (!info)
        return fail(QStringLiteral("%1 is not a PCM WAV file").arg(path));
    if (info->format.sampleRate != 16000 || info->format.channels != 1 || info->format.bitsPerSample != 16)
        return fail(QStringLiteral("%1 is %2 Hz, %3 channel(s), %4 bit; 16000 Hz mono 16-bit is needed")
                        .arg(path)
                        .arg(info->format.sampleRate)
                        .arg(info->format.channels)
                        .arg(info->format.bitsPerSample));
    // A file cut short keeps what it has.
    const qint64 available = all.size() - info->dataOffset;
    const qint64 length = std::min<qint64>(available, info->dataSize ? info->dataSize : available);
    return all.mid(info->dataOffset, length & ~qint64(1));
}
