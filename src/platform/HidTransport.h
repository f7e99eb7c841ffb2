#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// One HID interface found by enumeration.
struct HidInterfaceInfo {
    QString path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    QString serialNumber;
    QString manufacturer;
    QString product;
    uint16_t releaseNumber = 0;
    int interfaceNumber = -1;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

// An open HID interface.
class HidDevice
{
public:
    virtual ~HidDevice() = default;
    // Reads one input report into `data`: the number of bytes read, 0 when
    // nothing is queued (non-blocking mode), negative on error.
    virtual int read(uint8_t *data, size_t length) = 0;
    // Writes one output report (byte 0 is the report id): bytes written or
    // negative on error.
    virtual int write(const uint8_t *data, size_t length) = 0;
    virtual bool setNonblocking(bool nonblocking) = 0;
    // Text of the last error of this device.
    virtual QString errorText() const = 0;
};

// Access to HID interfaces (the library's init/enumerate/open/exit).
class HidTransport
{
public:
    virtual ~HidTransport() = default;

    virtual bool init() = 0;
    virtual void exit() = 0;
    virtual QList<HidInterfaceInfo> enumerate(uint16_t vendorId, uint16_t productId) = 0;
    virtual std::unique_ptr<HidDevice> openPath(const QString &path) = 0;
    // Text of the last error not tied to an open device.
    virtual QString errorText() const = 0;
    // Device nodes of a receiver with these ids found without enumerating
    // interfaces (a direct look-up in the system's device tree), in the
    // system's order. Used when enumeration gave nothing that opens.
    virtual QStringList receiverNodePaths(uint16_t vendorId, uint16_t productId) = 0;

    static std::unique_ptr<HidTransport> create();
    using Factory = std::function<std::unique_ptr<HidTransport>()>;
    static void setFactory(Factory factory);
};
