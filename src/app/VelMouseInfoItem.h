#pragma once

#include <QString>

#include <cstdint>

// Facts about the connected mouse. Vendor and product id are always read from
// the defaults; sensor type and DPI fall back to the stored value while the
// in-memory one is not above 0; the rest lives only in memory.
class VelMouseInfoItem
{
public:
    uint16_t vid() const;
    void setVid(uint16_t vid);
    uint16_t pid() const;
    void setPid(uint16_t pid);
    qint64 type() const;
    void setType(qint64 type);
    qint64 dpi() const;
    void setDpi(qint64 dpi);

    QString sn() const { return m_sn; }
    void setSn(const QString &sn) { m_sn = sn; }
    bool led() const { return m_led; }
    void setLed(bool led) { m_led = led; }
    double power() const { return m_power; }
    void setPower(double power) { m_power = power; }
    qint64 deviceConnectionMode() const { return m_deviceConnectionMode; }
    void setDeviceConnectionMode(qint64 mode) { m_deviceConnectionMode = mode; }
    bool mousePowerOFF() const { return m_mousePowerOFF; }
    void setMousePowerOFF(bool off) { m_mousePowerOFF = off; }
    qint64 devieType() const { return m_devieType; }
    void setDevieType(qint64 type) { m_devieType = type; }
    QString softwareVersion() const { return m_softwareVersion; }
    void setSoftwareVersion(const QString &version) { m_softwareVersion = version; }

private:
    friend class VelUserInfoData;
    VelMouseInfoItem() = default;

    uint16_t m_vid = 0;
    uint16_t m_pid = 0;
    qint64 m_type = 0;
    qint64 m_dpi = 0;
    QString m_sn;
    bool m_led = false;
    double m_power = 0;
    qint64 m_deviceConnectionMode = 0;
    bool m_mousePowerOFF = false;
    qint64 m_devieType = 0;
    QString m_softwareVersion;
};
