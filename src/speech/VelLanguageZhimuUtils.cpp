#include "VelLanguageZhimuUtils.h"

#include "app/RakLocalizedString.h"
#include "platform/VelUserDefaults.h"
#include "util/VelKeyedArchiver.h"

namespace {
const QString kSourceKey = QStringLiteral("languageIndexOfAiZhiMuSourceKey");
const QString kTargetKey = QStringLiteral("languageIndexOfAiZhiMuTargetKey");
const QString kTextFontTagKey = QStringLiteral("textFontTagKey");
const QString kCaptionWordColorKey = QStringLiteral("captionWordColorKey");
const QString kCaptionBgColorKey = QStringLiteral("captionbgColorKey");

std::optional<QColor> storedColor(const QString &key)
{
    return VelKeyedArchiver::unarchiveColor(VelUserDefaults::standardUserDefaults().dataForKey(key));
}

void storeColor(const QColor &color, const QString &key)
{
    auto &defaults = VelUserDefaults::standardUserDefaults();
    defaults.setData(VelKeyedArchiver::archiveColor(color), key);
    defaults.synchronize();
}
} // namespace

VelLanguageZhimuUtils &VelLanguageZhimuUtils::sharedVelLanguageZhimuUtils()
{
    static VelLanguageZhimuUtils *instance = new VelLanguageZhimuUtils;
    return *instance;
}

QColor VelLanguageZhimuUtils::defaultCaptionWordColor()
{
    return QColor::fromRgb(255, 149, 0); // the system orange
}

QColor VelLanguageZhimuUtils::defaultCaptionBackgroundColor()
{
    return QColor::fromRgbF(0, 0, 0, 0.75f);
}

VelLanguageZhimuUtils::VelLanguageZhimuUtils()
{
    m_languageIndexOfAiZhiMuSource = readIndex(kSourceKey, 0);
    m_languageIndexOfAiZhiMuTarget = readIndex(kTargetKey, 2);
    if (m_languageIndexOfAiZhiMuTarget > 2)
        m_languageIndexOfAiZhiMuTarget = 2;
    m_textFontTag = readIndex(kTextFontTagKey, 1);
    m_captionWordColor = storedColor(kCaptionWordColorKey).value_or(defaultCaptionWordColor());
    m_captionBackgroundColor = storedColor(kCaptionBgColorKey).value_or(defaultCaptionBackgroundColor());
}

void VelLanguageZhimuUtils::setLanguageIndexOfAiZhiMuSource(quint64 index)
{
    if (index == m_languageIndexOfAiZhiMuSource)
        return;
    m_languageIndexOfAiZhiMuSource = index;
    writeIndex(index, kSourceKey);
}

void VelLanguageZhimuUtils::setLanguageIndexOfAiZhiMuTarget(quint64 index)
{
    if (index == m_languageIndexOfAiZhiMuTarget)
        return;
    m_languageIndexOfAiZhiMuTarget = index;
    writeIndex(index, kTargetKey);
}

void VelLanguageZhimuUtils::setTextFontTag(quint64 tag)
{
    if (tag == m_textFontTag)
        return;
    m_textFontTag = tag;
    writeIndex(tag, kTextFontTagKey);
}

void VelLanguageZhimuUtils::setCaptionWordColor(const QColor &color)
{
    if (color == m_captionWordColor)
        return;
    m_captionWordColor = color;
    storeColor(color, kCaptionWordColorKey);
}

void VelLanguageZhimuUtils::setCaptionBackgroundColor(const QColor &color)
{
    if (color == m_captionBackgroundColor)
        return;
    m_captionBackgroundColor = color;
    storeColor(color, kCaptionBgColorKey);
}

std::optional<QColor> VelLanguageZhimuUtils::getCaptionWordColor() const
{
    return storedColor(kCaptionWordColorKey);
}

std::optional<QColor> VelLanguageZhimuUtils::getCaptionBackgroundColor() const
{
    return storedColor(kCaptionBgColorKey);
}

QStringList VelLanguageZhimuUtils::readTextFontList() const
{
    return {RakLocalizedString::rakAppLocalizedString(QStringLiteral("大")),
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("中")),
            RakLocalizedString::rakAppLocalizedString(QStringLiteral("小"))};
}

QStringList VelLanguageZhimuUtils::textFontArray()
{
    if (!m_textFontArray)
        m_textFontArray = readTextFontList();
    return *m_textFontArray;
}
