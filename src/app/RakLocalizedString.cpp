#include "RakLocalizedString.h"

#include "app/VelLanguageManager.h"

#include <QDir>
#include <QHash>
#include <QTranslator>

#include <memory>
#include <mutex>
#include <vector>

namespace {

using Table = std::vector<std::unique_ptr<QTranslator>>;

// Loaded once; QTranslator::translate is const and safe to call from any
// thread once loaded.
const QHash<QString, Table *> &tables()
{
    static QHash<QString, Table *> loaded;
    static std::once_flag once;
    std::call_once(once, [] {
        for (const QString &language : {QStringLiteral("zh_Hans"), QStringLiteral("en")}) {
            auto *table = new Table;
            const QDir dir(QStringLiteral(":/i18n"));
            const auto files =
                dir.entryList({QStringLiteral("*_%1.qm").arg(language)}, QDir::Files, QDir::Name);
            for (const QString &file : files) {
                auto translator = std::make_unique<QTranslator>();
                if (translator->load(dir.filePath(file)))
                    table->push_back(std::move(translator));
            }
            loaded.insert(language, table);
        }
    });
    return loaded;
}

} // namespace

QString RakLocalizedString::lookup(const QString &table, const QString &key)
{
    const Table *translators = tables().value(table);
    if (!translators)
        return QString();
    const QByteArray source = key.toUtf8();
    for (const auto &translator : *translators) {
        const QString text = translator->translate(kContext, source.constData());
        if (!text.isEmpty())
            return text;
    }
    return QString();
}

QString RakLocalizedString::rakAppLocalizedString(const QString &key)
{
    // The keys are the development language's texts: without a table entry
    // the key itself is the text.
    QString table;
    switch (VelLanguageManager::sharedVelLanguageManager().uiLanguageIndex()) {
    case 0:
        table = QStringLiteral("zh_Hans");
        break;
    case 1:
        table = QStringLiteral("en");
        break;
    default:
        return key;
    }
    const QString text = lookup(table, key);
    return text.isEmpty() ? key : text;
}
