#pragma once

#include <cstdint>
#include <QtGlobal>

// The voice-session controller. This first cut connects the receiver's key
// events to the dispatcher; the dispatcher only logs each code so far.
class VelAudioMonitorService
{
public:
    static VelAudioMonitorService &sharedVelAudioMonitorService();
    virtual ~VelAudioMonitorService() = default;

    // The receiver arrived: open it with the entry gate as its key-event block.
    void beginIMouseMonitorVid(uint16_t vid, uint16_t pid);
    // The receiver left: close the connection.
    void endIMouseMonitor();

    // The dispatcher of key codes.
    void hidCallbackType(qint64 code);

    bool hadPower() const { return m_hadPower; }

protected:
    VelAudioMonitorService() = default;

private:
    void entryGate(qint64 status, qint64 code);

    // Microphone access: granted on this desktop (nothing asks for it).
    bool m_hadPower = true;
};
