#include "VelSbcEncoder.h"

#include <QFile>
#include <QtEndian>

#include <sbc/sbc.h>

#include <cmath>
#include <cstring>
#include <vector>

struct VelSbcEncoder::Encoder {
    sbc_t sbc;
};

VelSbcEncoder::VelSbcEncoder()
    : m_encoder(std::make_unique<Encoder>())
{
    sbc_t &sbc = m_encoder->sbc;
    sbc_init(&sbc, 0);
    sbc.frequency = SBC_FREQ_16000;
    sbc.blocks = SBC_BLK_16;
    sbc.subbands = SBC_SB_8;
    sbc.mode = SBC_MODE_MONO;
    sbc.allocation = SBC_AM_LOUDNESS;
    sbc.bitpool = 12;
    sbc.endian = SBC_LE;
}

VelSbcEncoder::~VelSbcEncoder()
{
    sbc_finish(&m_encoder->sbc);
}

QList<QByteArray> VelSbcEncoder::encode(const QByteArray &pcm)
{
    QList<QByteArray> frames;
    constexpr int chunkBytes = kSamplesPerFrame * 2;
    for (qsizetype offset = 0; offset < pcm.size(); offset += chunkBytes) {
        unsigned char in[chunkBytes] = {};
        std::memcpy(in, pcm.constData() + offset, size_t(std::min<qsizetype>(chunkBytes, pcm.size() - offset)));
        unsigned char out[64];
        ssize_t written = 0;
        const ssize_t used = sbc_encode(&m_encoder->sbc, in, sizeof in, out, sizeof out, &written);
        if (used <= 0 || written != kFrameSize)
            break;
        frames.append(QByteArray(reinterpret_cast<const char *>(out), kFrameSize));
    }
    return frames;
}

QByteArray VelSbcEncoder::readWavAs16kMono(const QString &path, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return QByteArray();
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return fail(QStringLiteral("%1 is not a WAV file").arg(path));

    int channels = 0, rate = 0, bits = 0, format = 0;
    QByteArray data;
    for (qsizetype pos = 12; pos + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + pos + 4);
        const qsizetype body = pos + 8;
        const qsizetype available = std::min<qsizetype>(qsizetype(size), bytes.size() - body);
        if (id == "fmt " && available >= 16) {
            format = qFromLittleEndian<quint16>(bytes.constData() + body);
            channels = qFromLittleEndian<quint16>(bytes.constData() + body + 2);
            rate = int(qFromLittleEndian<quint32>(bytes.constData() + body + 4));
            bits = qFromLittleEndian<quint16>(bytes.constData() + body + 14);
        } else if (id == "data") {
            data = bytes.mid(body, available);
        }
        pos = body + available + (available & 1);
    }
    if (format != 1 || bits != 16 || channels < 1 || rate <= 0)
        return fail(QStringLiteral("%1: only 16-bit PCM WAV files can be sent (format %2, %3 bits)")
                        .arg(path)
                        .arg(format)
                        .arg(bits));
    if (rate < 4000 || rate > 192000)
        return fail(QStringLiteral("%1: sample rate %2 Hz is out of range (4000-192000)").arg(path).arg(rate));

    const qsizetype frames = data.size() / (2 * channels);
    std::vector<double> mono(size_t(frames), 0.0);
    for (qsizetype i = 0; i < frames; ++i) {
        double sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += qFromLittleEndian<qint16>(data.constData() + 2 * (i * channels + c));
        mono[size_t(i)] = sum / channels;
    }

    const qsizetype outFrames = rate == kSampleRate ? frames : qsizetype(double(frames) * kSampleRate / rate);
    QByteArray out(outFrames * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < outFrames; ++i) {
        double value;
        if (rate == kSampleRate) {
            value = mono[size_t(i)];
        } else {
            const double at = double(i) * rate / kSampleRate;
            const qsizetype left = qsizetype(at);
            const double frac = at - double(left);
            const double a = mono[size_t(std::min(left, frames - 1))];
            const double b = mono[size_t(std::min(left + 1, frames - 1))];
            value = a + (b - a) * frac;
        }
        const qint16 sample = qint16(std::clamp(std::lround(value), -32768L, 32767L));
        qToLittleEndian(sample, out.data() + 2 * i);
    }
    return out;
}
