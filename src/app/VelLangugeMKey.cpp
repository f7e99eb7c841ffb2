#include "VelLangugeMKey.h"

#include "app/RakLocalizedString.h"
#include "platform/VelUserDefaults.h"
#include "util/VelKeyedArchiver.h"

namespace {
const QString kIndexOfFunctionKey = QStringLiteral("indexOfFunctionKey");
const QString kIndexOfCommandFunctionKey = QStringLiteral("indexOfCommandFunctionKey");
const QString kMagnifierSwitchKey = QStringLiteral("magnifierSwitchKey");
const QString kElecMouseColorKey = QStringLiteral("elecMouseColorKey");
const QString kIndexOfSourceKey = QStringLiteral("recordLanguageIndexKey");
const QString kIndexOfTransSourceKey = QStringLiteral("indexOfTransSourceKey");
const QString kIndexOfTransTargetKey = QStringLiteral("indexOfTransTargetKey");
const QString kIndexOfSearchKey = QStringLiteral("searchEngineIndexKey");
const QString kIndexOfShumaguangKey = QStringLiteral("indexOfShumaguangKey");
const QString kIndexOfJuguangdengKey = QStringLiteral("indexOfJuguangdengKey");
} // namespace

VelLangugeMKey &VelLangugeMKey::sharedVelLangugeMKey()
{
    static VelLangugeMKey *instance = new VelLangugeMKey;
    return *instance;
}

QColor VelLangugeMKey::defaultElecMouseColor()
{
    return QColor::fromRgb(255, 59, 48); // the system red
}

VelLangugeMKey::VelLangugeMKey()
{
    m_indexOfFunction = readIndex(kIndexOfFunctionKey, 0);
    m_indexOfCommandFunction = readIndex(kIndexOfCommandFunctionKey, 0);
    m_magnifierSwitch = readIndex(kMagnifierSwitchKey, 1) != 0;
    m_elecMouseColor =
        VelKeyedArchiver::unarchiveColor(VelUserDefaults::standardUserDefaults().dataForKey(kElecMouseColorKey))
            .value_or(defaultElecMouseColor());
    m_indexOfSource = readIndex(kIndexOfSourceKey, 0);
    m_indexOfTransSource = readIndex(kIndexOfTransSourceKey, 0);
    m_indexOfTransTarget = readIndex(kIndexOfTransTargetKey, 2);
    m_indexOfSearch = readIndex(kIndexOfSearchKey, 0);
    m_indexOfShumaguang = readIndex(kIndexOfShumaguangKey, 0);
    m_indexOfJuguangdeng = readIndex(kIndexOfJuguangdengKey, 0);
}

void VelLangugeMKey::setIndex(quint64 &field, quint64 value, const QString &key)
{
    if (value == field)
        return;
    field = value;
    writeIndex(value, key);
}

void VelLangugeMKey::setIndexOfFunction(quint64 value)
{
    setIndex(m_indexOfFunction, value, kIndexOfFunctionKey);
}

void VelLangugeMKey::setIndexOfCommandFunction(quint64 value)
{
    m_indexOfCommandFunction = value;
    writeIndex(value, kIndexOfCommandFunctionKey);
}

void VelLangugeMKey::setMagnifierSwitch(bool on)
{
    if (on == m_magnifierSwitch)
        return;
    m_magnifierSwitch = on;
    writeIndex(on ? 1 : 0, kMagnifierSwitchKey);
}

void VelLangugeMKey::setElecMouseColor(const QColor &color)
{
    if (color == m_elecMouseColor)
        return;
    m_elecMouseColor = color;
    auto &defaults = VelUserDefaults::standardUserDefaults();
    defaults.setData(VelKeyedArchiver::archiveColor(color), kElecMouseColorKey);
    defaults.synchronize();
}

void VelLangugeMKey::setIndexOfSource(quint64 value)
{
    setIndex(m_indexOfSource, value, kIndexOfSourceKey);
}

void VelLangugeMKey::setIndexOfTransSource(quint64 value)
{
    setIndex(m_indexOfTransSource, value, kIndexOfTransSourceKey);
}

void VelLangugeMKey::setIndexOfTransTarget(quint64 value)
{
    setIndex(m_indexOfTransTarget, value, kIndexOfTransTargetKey);
}

void VelLangugeMKey::setIndexOfSearch(quint64 value)
{
    setIndex(m_indexOfSearch, value, kIndexOfSearchKey);
}

void VelLangugeMKey::setIndexOfShumaguang(quint64 value)
{
    setIndex(m_indexOfShumaguang, value, kIndexOfShumaguangKey);
}

void VelLangugeMKey::setIndexOfJuguangdeng(quint64 value)
{
    setIndex(m_indexOfJuguangdeng, value, kIndexOfJuguangdengKey);
}

QStringList VelLangugeMKey::readMkeyAllList() const
{
    return {QStringLiteral("+"),         QStringLiteral("FS飞鼠"),     QStringLiteral("FS数码光"),
            QStringLiteral("FS聚光灯"),  QStringLiteral("FS放大镜"),   QStringLiteral("FS语音打字"),
            QStringLiteral("FS语音翻译")};
}

QStringList VelLangugeMKey::mKeyAllList()
{
    if (!m_mKeyAllList)
        m_mKeyAllList = readMkeyAllList();
    return *m_mKeyAllList;
}

QStringList VelLangugeMKey::readSearchEngineNameList() const
{
    return {RakLocalizedString::rakAppLocalizedString(QStringLiteral("百度")),
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("谷歌"))};
}

QStringList VelLangugeMKey::searchEngineArray()
{
    if (!m_searchEngineArray)
        m_searchEngineArray = readSearchEngineNameList();
    return *m_searchEngineArray;
}

void VelLangugeMKey::shouldRefreshData()
{
    m_mKeyAllList = readMkeyAllList();
}
