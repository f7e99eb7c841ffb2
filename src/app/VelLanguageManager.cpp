#include "VelLanguageManager.h"

#include "app/RakLocalizedString.h"
#include "platform/VelUserDefaults.h"

#include <QLocale>

namespace {
const QString kUiLanguageKey = QStringLiteral("uilanguageStringKey1");
}

VelLanguageManager &VelLanguageManager::sharedVelLanguageManager()
{
    static VelLanguageManager *instance = new VelLanguageManager;
    return *instance;
}

quint64 VelLanguageManager::systemDefaultIndex()
{
    const QStringList preferred = QLocale::system().uiLanguages();
    if (!preferred.isEmpty() && preferred.first().contains(QLatin1String("zh")))
        return 0;
    return 1;
}

VelLanguageManager::VelLanguageManager()
{
    auto &defaults = VelUserDefaults::standardUserDefaults();
    if (defaults.contains(kUiLanguageKey))
        m_uiLanguageIndex = quint64(VelUserDefaults::integerValueOfText(defaults.stringForKey(kUiLanguageKey)));
    else
        m_uiLanguageIndex = systemDefaultIndex();
}

void VelLanguageManager::setUiLanguageIndex(quint64 index)
{
    if (index == m_uiLanguageIndex.load())
        return;
    m_uiLanguageIndex = index;
    auto &defaults = VelUserDefaults::standardUserDefaults();
    defaults.setInteger(qint64(index), kUiLanguageKey);
    defaults.synchronize();
}

QStringList VelLanguageManager::readUiLanguageNameList() const
{
    return {RakLocalizedString::rakAppLocalizedString(QStringLiteral("简体中文")),
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("英文"))};
}

QStringList VelLanguageManager::uiTitleLanguageArray()
{
    if (!m_uiTitleLanguageArray)
        m_uiTitleLanguageArray = readUiLanguageNameList();
    return *m_uiTitleLanguageArray;
}

void VelLanguageManager::shouldRefreshData()
{
    m_uiTitleLanguageArray = readUiLanguageNameList();
}
