#pragma once

#include "speech/VelLanguageObjBase.h"

#include <QColor>

#include <optional>

// Caption settings: languages, font size and colours.
class VelLanguageZhimuUtils : public VelLanguageObjBase
{
public:
    static VelLanguageZhimuUtils &sharedVelLanguageZhimuUtils();

    quint64 languageIndexOfAiZhiMuSource() const { return m_languageIndexOfAiZhiMuSource; }
    void setLanguageIndexOfAiZhiMuSource(quint64 index);
    quint64 languageIndexOfAiZhiMuTarget() const { return m_languageIndexOfAiZhiMuTarget; }
    void setLanguageIndexOfAiZhiMuTarget(quint64 index);
    quint64 textFontTag() const { return m_textFontTag; }
    void setTextFontTag(quint64 tag);

    QColor captionWordColor() const { return m_captionWordColor; }
    void setCaptionWordColor(const QColor &color);
    QColor captionBackgroundColor() const { return m_captionBackgroundColor; }
    void setCaptionBackgroundColor(const QColor &color);

    // The stored colours read straight from the defaults, without defaults of
    // their own: nullopt when nothing (valid) is stored.
    std::optional<QColor> getCaptionWordColor() const;
    std::optional<QColor> getCaptionBackgroundColor() const;

    // "大", "中", "小", localized afresh on every call.
    QStringList readTextFontList() const;
    // The same list, built on first read and then kept.
    QStringList textFontArray();

    static QColor defaultCaptionWordColor();
    static QColor defaultCaptionBackgroundColor();

protected:
    VelLanguageZhimuUtils();

private:
    quint64 m_languageIndexOfAiZhiMuSource = 0;
    quint64 m_languageIndexOfAiZhiMuTarget = 2;
    quint64 m_textFontTag = 1;
    QColor m_captionWordColor;
    QColor m_captionBackgroundColor;
    std::optional<QStringList> m_textFontArray;
};
