#include "VelLocalDatabase.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

VelLocalDatabase::~VelLocalDatabase()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool VelLocalDatabase::open(const QString &dataDir, QString *error)
{
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    database.setDatabaseName(QDir(dataDir).filePath(QStringLiteral("service.sqlite")));
    if (!database.open()) {
        *error = database.lastError().text();
        return false;
    }
    return createSchema(error);
}

bool VelLocalDatabase::createSchema(QString *error)
{
    static const char *const statements[] = {
        "PRAGMA foreign_keys = ON",
        "CREATE TABLE IF NOT EXISTS users (id INTEGER PRIMARY KEY AUTOINCREMENT, phone TEXT UNIQUE, "
        "email TEXT UNIQUE, salt BLOB NOT NULL, hash BLOB NOT NULL, nick_name TEXT NOT NULL DEFAULT '', "
        "create_time TEXT NOT NULL, update_time TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS codes (target TEXT PRIMARY KEY, code TEXT NOT NULL, "
        "issued_at INTEGER NOT NULL, used INTEGER NOT NULL DEFAULT 0)",
        "CREATE TABLE IF NOT EXISTS records (id INTEGER PRIMARY KEY AUTOINCREMENT, userid TEXT, filename TEXT, "
        "recordTitle TEXT, content TEXT, translatedText TEXT, attr1 TEXT, attr2 TEXT, duration TEXT, "
        "channalname TEXT, productname TEXT, createTime REAL NOT NULL)",
        "CREATE TABLE IF NOT EXISTS shares (code TEXT PRIMARY KEY, record_id INTEGER NOT NULL UNIQUE "
        "REFERENCES records(id) ON DELETE CASCADE)",
        "CREATE TABLE IF NOT EXISTS feedback (id INTEGER PRIMARY KEY AUTOINCREMENT, fields TEXT NOT NULL, "
        "log_file TEXT, received_at INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS objects (key TEXT PRIMARY KEY, file TEXT NOT NULL, content_type TEXT, "
        "size INTEGER NOT NULL, etag TEXT NOT NULL, uploaded_at INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY, value TEXT)",
    };
    QSqlQuery query(db());
    for (const char *statement : statements) {
        if (!query.exec(QString::fromLatin1(statement))) {
            *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

QString VelLocalDatabase::setting(const QString &key, const QString &fallback) const
{
    QSqlQuery query(db());
    query.prepare(QStringLiteral("SELECT value FROM settings WHERE key = ?"));
    query.addBindValue(key);
    if (query.exec() && query.next())
        return query.value(0).toString();
    return fallback;
}

void VelLocalDatabase::setSetting(const QString &key, const QString &value)
{
    QSqlQuery query(db());
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"));
    query.addBindValue(key);
    query.addBindValue(value);
    query.exec();
}
