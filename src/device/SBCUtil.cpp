#include "SBCUtil.h"

#include <sbc/sbc.h>

#include <cstring>

struct SBCUtil::Decoder {
    sbc_t sbc;
};

SBCUtil &SBCUtil::shareInstance()
{
    static SBCUtil instance;
    return instance;
}

SBCUtil::SBCUtil()
    : m_decoder(std::make_unique<Decoder>())
{
    sbc_init(&m_decoder->sbc, 0);
    m_decoder->sbc.endian = SBC_LE;
}

SBCUtil::~SBCUtil()
{
    sbc_finish(&m_decoder->sbc);
}

bool SBCUtil::isMonoHeader(const unsigned char *frame, int length)
{
    return length >= 2 && frame[0] == 0x9C && (frame[1] & 0x0C) == 0;
}

std::optional<QByteArray> SBCUtil::sbc2PCM(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    QByteArray pcm;
    if (data.size() < kFrameSize)
        return pcm;

    unsigned char frame[kFrameSize];
    unsigned char out[kPcmCapacity];
    for (qsizetype offset = 0; offset + kFrameSize <= data.size(); offset += kFrameSize) {
        std::memcpy(frame, data.constData() + offset, kFrameSize);
        // Bytes before the first sync word are skipped; what is left must
        // still hold the whole frame.
        const auto *sync = static_cast<const unsigned char *>(std::memchr(frame, 0x9C, kFrameSize));
        if (!sync)
            return std::nullopt;
        const int available = int(frame + kFrameSize - sync);
        // The decoder is limited to one channel, but libsbc would happily
        // decode a stereo frame: refuse it here.
        if (!isMonoHeader(sync, available))
            return std::nullopt;
        size_t written = 0;
        const ssize_t used = sbc_decode(&m_decoder->sbc, sync, size_t(available), out, sizeof out, &written);
        if (used <= 0 || written > sizeof out)
            return std::nullopt;
        pcm.append(reinterpret_cast<const char *>(out), qsizetype(written));
    }
    return pcm;
}
