#include "VelUserInfoData.h"

#include "platform/LoginItems.h"
#include "platform/VelUserDefaults.h"
#include "util/VelLog.h"
#include "util/VelTextHelpers.h"

#include <QCoreApplication>
#include <QUuid>

namespace {
const QString kClientIDKey = QStringLiteral("clientIDKey");
const QString kBootUpSwitchKey = QStringLiteral("bootUpSwitchKey2");
const QString kRecordWindowShowKey = QStringLiteral("recordWindowShowKey1");
const QString kZhimuWindowShowKey = QStringLiteral("zhimuWindowShowKey1");
const QString kAccoutNameKey = QStringLiteral("accoutNameKey");
const QString kUserInfoItemKey = QStringLiteral("userInfoItemKey2");

VelUserDefaults &defaults()
{
    return VelUserDefaults::standardUserDefaults();
}

void storeAndSync(const QVariant &value, const QString &key)
{
    defaults().setObject(value, key);
    defaults().synchronize();
}
} // namespace

VelUserInfoData &VelUserInfoData::sharedVelUserInfoData()
{
    static VelUserInfoData *instance = new VelUserInfoData;
    return *instance;
}

VelUserInfoData::VelUserInfoData()
    : m_loginItems(LoginItems::create())
{
    m_clientID = defaults().stringForKey(kClientIDKey);
    if (m_clientID.isEmpty()) {
        const QString created = createCUID(QString());
        setClientID(created);
    }
    m_bootUpSwitch = defaults().boolForKey(kBootUpSwitchKey);
    m_recordWindowShow = defaults().integerForKey(kRecordWindowShowKey);
    if (m_recordWindowShow == 0)
        m_recordWindowShow = 1;
    m_zhimuWindowShow = defaults().integerForKey(kZhimuWindowShowKey);
    if (m_zhimuWindowShow == 0)
        m_zhimuWindowShow = 1;
    m_accoutName = defaults().stringForKey(kAccoutNameKey);
}

VelUserInfoData::~VelUserInfoData() = default;

void VelUserInfoData::setClientID(const QString &clientID)
{
    if (clientID == m_clientID)
        return;
    m_clientID = clientID;
    storeAndSync(clientID, kClientIDKey);
}

QString VelUserInfoData::createCUID(const QString &prefix) const
{
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const QString identifier = VelTextHelpers::vel_md5(QStringLiteral("%1-%2").arg(prefix, uuid));
    velLog(QStringLiteral("uuid:%1").arg(identifier));
    return identifier;
}

void VelUserInfoData::setBootUpSwitch(bool on)
{
    if (on == m_bootUpSwitch)
        return;
    m_bootUpSwitch = on;
    storeAndSync(on, kBootUpSwitchKey);
    const bool ok = setStartAtLogin(on);
    if (on)
        velLog(ok ? QStringLiteral("开机启动：已开启") : QStringLiteral("开机启动：开启请求失败"));
    else
        velLog(ok ? QStringLiteral("开机启动：已关闭") : QStringLiteral("开机启动：关闭请求失败"));
}

void VelUserInfoData::setRecordWindowShow(qint64 value)
{
    m_recordWindowShow = value;
    storeAndSync(value, kRecordWindowShowKey);
}

void VelUserInfoData::setZhimuWindowShow(qint64 value)
{
    m_zhimuWindowShow = value;
    storeAndSync(value, kZhimuWindowShowKey);
}

void VelUserInfoData::setAccoutName(const QString &name)
{
    m_accoutName = name;
    storeAndSync(name, kAccoutNameKey);
}

std::optional<VelUserInfoItem> VelUserInfoData::userInfoItem() const
{
    const QByteArray data = defaults().dataForKey(kUserInfoItemKey);
    if (data.isEmpty())
        return std::nullopt;
    return VelUserInfoItem::unarchive(data);
}

void VelUserInfoData::setUserInfoItem(const std::optional<VelUserInfoItem> &item)
{
    m_userInfoItem = item;
    if (item)
        defaults().setData(item->archivedData(), kUserInfoItemKey);
    else
        defaults().removeObjectForKey(kUserInfoItemKey);
    defaults().synchronize();
}

VelMouseInfoItem &VelUserInfoData::mouseInfoItem()
{
    if (!m_mouseInfoItem)
        m_mouseInfoItem.reset(new VelMouseInfoItem);
    return *m_mouseInfoItem;
}

QString VelUserInfoData::programPath() const
{
    return QCoreApplication::applicationFilePath();
}

bool VelUserInfoData::isStartAtLogin() const
{
    return m_loginItems->contains(programPath());
}

bool VelUserInfoData::setStartAtLogin(bool on)
{
    if (on) {
        if (isStartAtLogin())
            return false;
        return m_loginItems->insert(programPath());
    }
    return m_loginItems->remove(programPath());
}
