#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// The sound level of a chunk of 16-bit PCM: the integer part of
// 10 × log10(sum of squared samples ÷ the chunk's byte length). A missing
// chunk gives 0; silence or a chunk without a whole sample gives the lowest
// level, INT32_MIN.
class VelPcmLevel
{
public:
    static int32_t isQuite(const std::optional<QByteArray> &pcm);
};
