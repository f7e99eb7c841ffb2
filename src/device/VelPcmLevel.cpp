#include "VelPcmLevel.h"

#include <climits>
#include <cmath>
#include <cstring>

int32_t VelPcmLevel::isQuite(const std::optional<QByteArray> &pcm)
{
    if (!pcm)
        return 0;
    const qsizetype samples = pcm->size() / 2;
    if (samples == 0)
        return INT32_MIN;
    int64_t sum = 0;
    const char *bytes = pcm->constData();
    for (qsizetype i = 0; i < samples; ++i) {
        int16_t sample;
        std::memcpy(&sample, bytes + 2 * i, sizeof sample);
        sum += int64_t(sample) * sample;
    }
    // log10(0) is minus infinity, and converting that to an integer is
    // undefined: silence is answered before any floating point.
    if (sum == 0)
        return INT32_MIN;
    const double level = 10.0 * std::log10(double(sum) / double(pcm->size()));
    return int32_t(std::trunc(level));
}
