#pragma once

#include "speech/VelLanguageObjBase.h"

#include <QColor>
#include <QStringList>

#include <optional>

// Presenter-key (M key) and voice-function settings. Indexes are stored as
// decimal text.
class VelLangugeMKey : public VelLanguageObjBase
{
public:
    // What the M key does (indexOfFunction).
    enum Function : quint64 {
        FunctionNone = 0,
        FunctionLaserDot = 1,
        FunctionSpotlight = 2,
        FunctionMagnifier = 3,
        FunctionVoiceTyping = 4,
        FunctionVoiceTranslation = 5,
    };

    static VelLangugeMKey &sharedVelLangugeMKey();

    quint64 indexOfFunction() const { return m_indexOfFunction; }
    void setIndexOfFunction(quint64 value);
    quint64 indexOfCommandFunction() const { return m_indexOfCommandFunction; }
    // Writes on every call.
    void setIndexOfCommandFunction(quint64 value);
    bool magnifierSwitch() const { return m_magnifierSwitch; }
    void setMagnifierSwitch(bool on);
    QColor elecMouseColor() const { return m_elecMouseColor; }
    void setElecMouseColor(const QColor &color);
    quint64 indexOfSource() const { return m_indexOfSource; }
    void setIndexOfSource(quint64 value);
    quint64 indexOfTransSource() const { return m_indexOfTransSource; }
    void setIndexOfTransSource(quint64 value);
    quint64 indexOfTransTarget() const { return m_indexOfTransTarget; }
    void setIndexOfTransTarget(quint64 value);
    quint64 indexOfSearch() const { return m_indexOfSearch; }
    void setIndexOfSearch(quint64 value);
    quint64 indexOfShumaguang() const { return m_indexOfShumaguang; }
    void setIndexOfShumaguang(quint64 value);
    quint64 indexOfJuguangdeng() const { return m_indexOfJuguangdeng; }
    void setIndexOfJuguangdeng(quint64 value);
    bool fangdajingKai() const { return m_fangdajingKai; }
    void setFangdajingKai(bool on) { m_fangdajingKai = on; }

    // "+" and the six M-key function titles (localization keys, not texts).
    QStringList readMkeyAllList() const;
    QStringList mKeyAllList();
    // The localized names of the search engines: Baidu, Google.
    QStringList readSearchEngineNameList() const;
    QStringList searchEngineArray();
    // Rebuilds only the M-key list.
    void shouldRefreshData() override;

    QStringList readVoiceTypingLanguageNameList() const { return myRecognitionLanguageArrayName(); }
    QStringList readTransSourceLanguageNameList() const { return myRecognitionLanguageArrayName(); }
    QStringList readVoiceTypingLanguageCodeList() const { return myRecognitionLanguageArrayCode(); }
    QStringList readTransSourceLanguageCodeList() const { return myRecognitionLanguageArrayCode(); }
    QStringList readTransTargetLanguageNameList() const { return myTransLanguageArrayName(); }
    QStringList readTransTargetLanguageCodeList() const { return myTransLanguageArrayCode(); }

    static QColor defaultElecMouseColor();

protected:
    VelLangugeMKey();

private:
    void setIndex(quint64 &field, quint64 value, const QString &key);

    quint64 m_indexOfFunction = 0;
    quint64 m_indexOfCommandFunction = 0;
    bool m_magnifierSwitch = true;
    QColor m_elecMouseColor;
    quint64 m_indexOfSource = 0;
    quint64 m_indexOfTransSource = 0;
    quint64 m_indexOfTransTarget = 2;
    quint64 m_indexOfSearch = 0;
    quint64 m_indexOfShumaguang = 0;
    quint64 m_indexOfJuguangdeng = 0;
    bool m_fangdajingKai = false;
    std::optional<QStringList> m_mKeyAllList;
    std::optional<QStringList> m_searchEngineArray;
};
