#include "VelMouseInfoItem.h"

#include "platform/VelUserDefaults.h"

namespace {
const QString kVidKey = QStringLiteral("Vel_iMouse_Vid_Key");
const QString kPidKey = QStringLiteral("Vel_iMouse_Pid_Key");
const QString kTypeKey = QStringLiteral("Vel_iMouse_Type_Key");
const QString kDpiKey = QStringLiteral("Vel_iMouse_Dpi_Key");

VelUserDefaults &defaults()
{
    return VelUserDefaults::standardUserDefaults();
}

void store(qint64 value, const QString &key)
{
    defaults().setInteger(value, key);
    defaults().synchronize();
}
} // namespace

uint16_t VelMouseInfoItem::vid() const
{
    return uint16_t(defaults().integerForKey(kVidKey));
}

void VelMouseInfoItem::setVid(uint16_t vid)
{
    if (vid == m_vid)
        return;
    m_vid = vid;
    store(vid, kVidKey);
}

uint16_t VelMouseInfoItem::pid() const
{
    return uint16_t(defaults().integerForKey(kPidKey));
}

void VelMouseInfoItem::setPid(uint16_t pid)
{
    if (pid == m_pid)
        return;
    m_pid = pid;
    store(pid, kPidKey);
}

qint64 VelMouseInfoItem::type() const
{
    if (m_type > 0)
        return m_type;
    if (defaults().contains(kTypeKey))
        return defaults().integerForKey(kTypeKey);
    return 2;
}

void VelMouseInfoItem::setType(qint64 type)
{
    if (type == m_type)
        return;
    m_type = type;
    store(type, kTypeKey);
}

qint64 VelMouseInfoItem::dpi() const
{
    if (m_dpi > 0)
        return m_dpi;
    return defaults().integerForKey(kDpiKey);
}

void VelMouseInfoItem::setDpi(qint64 dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    store(dpi, kDpiKey);
}
