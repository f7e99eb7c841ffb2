#include "VelAudioMonitorService.h"

#include "device/VelHidapiManager.h"
#include "util/VelLog.h"

VelAudioMonitorService &VelAudioMonitorService::sharedVelAudioMonitorService()
{
    static VelAudioMonitorService instance;
    return instance;
}

void VelAudioMonitorService::beginIMouseMonitorVid(uint16_t vid, uint16_t pid)
{
    // The controller lives for the whole process, so the block may refer to it.
    VelHidapiManager::sharedVelHidapiManager().hidRequestReadMouseInfoVid(
        vid, pid, [this](qint64 status, qint64 code) { entryGate(status, code); });
}

void VelAudioMonitorService::endIMouseMonitor()
{
    VelHidapiManager::sharedVelHidapiManager().hidRequestClose();
}

void VelAudioMonitorService::entryGate(qint64 /*status*/, qint64 code)
{
    hidCallbackType(code);
}

void VelAudioMonitorService::hidCallbackType(qint64 code)
{
    velLog(QStringLiteral("hidCallbackType：收到按键 0x%1").arg(code, 2, 16, QLatin1Char('0')));
}
