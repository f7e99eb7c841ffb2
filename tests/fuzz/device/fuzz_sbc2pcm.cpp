// Arbitrary bytes into the SBC decoder.
#include "device/SBCUtil.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QByteArray> pcm = SBCUtil::shareInstance().sbc2PCM(input);
    if (size == 0 && pcm)
        abort();
    if (size > 0 && size < 32 && (!pcm || !pcm->isEmpty()))
        abort();
    // 128 mono samples (256 bytes) per whole 32-byte frame at most.
    if (pcm && pcm->size() > qsizetype(size / 32) * 256)
        abort();
    return 0;
}
