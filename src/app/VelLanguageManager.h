#pragma once

#include <QStringList>

#include <atomic>
#include <optional>

// The interface language: 0 Simplified Chinese, 1 English.
class VelLanguageManager
{
public:
    static VelLanguageManager &sharedVelLanguageManager();
    virtual ~VelLanguageManager() = default;

    quint64 uiLanguageIndex() const { return m_uiLanguageIndex.load(); }
    void setUiLanguageIndex(quint64 index);

    QStringList readUiLanguageNameList() const;
    QStringList uiTitleLanguageArray();
    void shouldRefreshData();

    // 0 when the first of the system's preferred languages is a Chinese one, else 1.
    static quint64 systemDefaultIndex();

protected:
    VelLanguageManager();

private:
    std::atomic<quint64> m_uiLanguageIndex{0};
    std::optional<QStringList> m_uiTitleLanguageArray;
};
