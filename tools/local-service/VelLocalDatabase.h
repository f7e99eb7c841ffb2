#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

// The service's SQLite file (users, codes, records, share codes, feedback,
// uploaded objects and settings) in the data folder. Every write is its own
// committed statement, so a restart loses nothing that was answered.
class VelLocalDatabase
{
public:
    ~VelLocalDatabase();

    bool open(const QString &dataDir, QString *error);
    QSqlDatabase db() const { return QSqlDatabase::database(m_connection); }

    QString setting(const QString &key, const QString &fallback = {}) const;
    void setSetting(const QString &key, const QString &value);

private:
    bool createSchema(QString *error);

    QString m_connection = QStringLiteral("travik-vazade-local-service");
};
