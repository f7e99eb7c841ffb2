#pragma once

#include <QString>
#include <QStringList>

// Localized text. Keys are the Chinese texts; the table is chosen by the
// interface language setting (uiLanguageIndex), not by the system locale.
// Tables are Qt Linguist files compiled into the program, context
// "Localizable", one pair per area: <area>_zh_Hans.ts and <area>_en.ts.
class RakLocalizedString
{
public:
    static QString rakAppLocalizedString(const QString &key);

    // Looks a key up in one table ("zh_Hans" or "en"); empty when the table
    // has no text for it.
    static QString lookup(const QString &table, const QString &key);

    static inline const char *kContext = "Localizable";
};
