#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

// Decodes the mouse's SBC audio frames (32 bytes each, mono) into signed
// 16-bit host-order PCM. One decoder context for the whole process, reset only
// when it is created: its synthesis history runs on from frame to frame.
class SBCUtil
{
public:
    static constexpr int kFrameSize = 32;
    static constexpr int kPcmCapacity = 3840;

    static SBCUtil &shareInstance();
    ~SBCUtil();

    // nullopt for empty input or when any whole frame fails to decode (also a
    // frame that is not mono); an empty array when the input holds no whole
    // frame; otherwise the PCM of every whole frame in order. A trailing
    // partial frame is ignored.
    std::optional<QByteArray> sbc2PCM(const QByteArray &data);

    // True when the SBC header starting at `frame` says one channel (channel
    // mode bits 3-2 of header byte 1 are 00).
    static bool isMonoHeader(const unsigned char *frame, int length);

protected:
    SBCUtil();

private:
    struct Decoder;
    std::unique_ptr<Decoder> m_decoder;
};
