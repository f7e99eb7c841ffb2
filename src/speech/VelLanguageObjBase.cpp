#include "VelLanguageObjBase.h"

#include "app/RakLocalizedString.h"
#include "platform/VelUserDefaults.h"
#include "util/VelLog.h"

VelLanguageObjBase::VelLanguageObjBase()
{
    readRecognizationLanuages();
    readTranslationLanuages();
}

void VelLanguageObjBase::readRecognizationLanuages()
{
    m_asrLanguagesOfaiuiCode.store(
        std::make_shared<const QStringList>(QStringList{QStringLiteral("main"), QStringLiteral("english")}),
        std::memory_order_release);
    m_asrLanguagesOfaiuiName.store(
        std::make_shared<const QStringList>(QStringList{
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("普通话")),
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("英语")),
        }),
        std::memory_order_release);
}

void VelLanguageObjBase::readTranslationLanuages()
{
    m_transLanguagesOfBaiduCode.store(
        std::make_shared<const QStringList>(
            QStringList{QStringLiteral("no"), QStringLiteral("zh"), QStringLiteral("en")}),
        std::memory_order_release);
    m_transLanguagesOfBaiduName.store(
        std::make_shared<const QStringList>(QStringList{
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("不翻译")),
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("简体中文")),
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("英文")),
        }),
        std::memory_order_release);
}

void VelLanguageObjBase::shouldRefreshData()
{
    readRecognizationLanuages();
    readTranslationLanuages();
}

QString VelLanguageObjBase::lookup(const std::atomic<List> &list, quint64 index,
                                   const char *outOfRangeFormat, const QString &fallback)
{
    // One reference for both the bounds test and the read.
    const List current = load(list);
    const auto count = quint64(current->size());
    if (index >= count) {
        velLog(QString::fromUtf8(outOfRangeFormat).arg(qint64(count)).arg(qint64(index)));
        return fallback;
    }
    return current->at(qsizetype(index));
}

QString VelLanguageObjBase::getRecLanguageCodeWithIndex(quint64 index) const
{
    return lookup(m_asrLanguagesOfaiuiCode, index, "识别语言代码下标越界：列表长度：%1，下标刻度：%2",
                  QStringLiteral("简体中文 code"));
}

QString VelLanguageObjBase::getRecLanguageNameWithIndex(quint64 index) const
{
    return lookup(m_asrLanguagesOfaiuiName, index, "识别语言名称下标越界：列表长度：%1，下标刻度：%2",
                  QStringLiteral("简体中文 name"));
}

QString VelLanguageObjBase::getTransLanguageCodeWithIndex(quint64 index) const
{
    return lookup(m_transLanguagesOfBaiduCode, index, "翻译语言代码下标越界：列表长度：%1，下标刻度：%2",
                  QStringLiteral("简体中文 code"));
}

QString VelLanguageObjBase::getTransLanguageNameWithIndex(quint64 index) const
{
    return lookup(m_transLanguagesOfBaiduName, index, "翻译语言名称下标越界：列表长度：%1，下标刻度：%2",
                  QStringLiteral("简体中文 name"));
}

quint64 VelLanguageObjBase::readIndex(const QString &key, quint64 fallback)
{
    auto &defaults = VelUserDefaults::standardUserDefaults();
    if (!defaults.contains(key))
        return fallback;
    // Stored as "%ld" text; text without an integer value reads as 0.
    return quint64(VelUserDefaults::integerValueOfText(defaults.stringForKey(key)));
}

void VelLanguageObjBase::writeIndex(quint64 value, const QString &key)
{
    auto &defaults = VelUserDefaults::standardUserDefaults();
    defaults.setString(QString::number(qint64(value)), key);
    defaults.synchronize();
}
