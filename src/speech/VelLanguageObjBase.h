#pragma once

#include <QStringList>

#include <atomic>
#include <memory>

// Recognition and translation language tables: parallel lists of display
// names and codes. Each list is replaced whole, never edited, so a reader on
// another thread takes one reference and sees either the old or the new list
// complete.
class VelLanguageObjBase
{
public:
    virtual ~VelLanguageObjBase() = default;

    void readRecognizationLanuages();
    void readTranslationLanuages();
    // Rebuilds both tables so the names follow the interface language.
    virtual void shouldRefreshData();

    QStringList myRecognitionLanguageArrayCode() const { return *load(m_asrLanguagesOfaiuiCode); }
    QStringList myRecognitionLanguageArrayName() const { return *load(m_asrLanguagesOfaiuiName); }
    QStringList myTransLanguageArrayCode() const { return *load(m_transLanguagesOfBaiduCode); }
    QStringList myTransLanguageArrayName() const { return *load(m_transLanguagesOfBaiduName); }

    QString getRecLanguageCodeWithIndex(quint64 index) const;
    QString getRecLanguageNameWithIndex(quint64 index) const;
    QString getTransLanguageCodeWithIndex(quint64 index) const;
    QString getTransLanguageNameWithIndex(quint64 index) const;

protected:
    VelLanguageObjBase();

    // Decimal-text index storage shared by the settings that derive from here.
    static quint64 readIndex(const QString &key, quint64 fallback);
    static void writeIndex(quint64 value, const QString &key);

private:
    using List = std::shared_ptr<const QStringList>;
    static List load(const std::atomic<List> &list) { return list.load(std::memory_order_acquire); }
    static QString lookup(const std::atomic<List> &list, quint64 index, const char *outOfRangeFormat,
                          const QString &fallback);

    std::atomic<List> m_asrLanguagesOfaiuiCode;
    std::atomic<List> m_asrLanguagesOfaiuiName;
    std::atomic<List> m_transLanguagesOfBaiduCode;
    std::atomic<List> m_transLanguagesOfBaiduName;
};
