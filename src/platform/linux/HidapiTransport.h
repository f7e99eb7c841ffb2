#pragma once

#include "platform/HidTransport.h"

// hidapi on the hidraw backend.
class HidapiTransport : public HidTransport
{
public:
    bool init() override;
    void exit() override;
    QList<HidInterfaceInfo> enumerate(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<HidDevice> openPath(const QString &path) override;
    QString errorText() const override;
    QStringList receiverNodePaths(uint16_t vendorId, uint16_t productId) override;
};
