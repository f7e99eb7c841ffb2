#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// What identifies our receiver on the bus.
namespace VelDeviceIdentity {
inline constexpr uint16_t kVendorId = 0xABC8;
// Kind 1 takes its audio from the computer's microphone, kind 2 sends its own.
inline constexpr uint16_t kProductIdKind1 = 0xCA08;
inline constexpr uint16_t kProductIdKind2 = 0xCA01;
// Usage pages of the vendor interface (its usage is 0).
inline constexpr uint16_t kVendorUsagePages[] = {0xFF01, 0xFF02, 0xFF03, 0xFF0F};

// USB product names of the receiver models, compared exactly.
inline QStringList acceptedProductNames()
{
    return {QStringLiteral("Travik Vazade Receiver"), QStringLiteral("Travik Vazade 2.4G Receiver"),
            QStringLiteral("Travik Vazade Voice Receiver")};
}

// Device kind for an id pair: 1, 2, or 0 when the pair names neither.
inline int deviceKindFor(uint16_t vendorId, uint16_t productId)
{
    if (vendorId != kVendorId)
        return 0;
    if (productId == kProductIdKind1)
        return 1;
    if (productId == kProductIdKind2)
        return 2;
    return 0;
}
} // namespace VelDeviceIdentity
