#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// The per-user preferences domain of the application: one INI file under the
// user's configuration folder, created with mode 0600 because it holds
// account data. Every write goes through here; didWrite() is emitted for each
// so that observers (and tests) can see what was stored.
class VelUserDefaults : public QObject
{
    Q_OBJECT
public:
    static VelUserDefaults &standardUserDefaults();

    QString filePath() const;

    bool contains(const QString &key) const;
    QVariant objectForKey(const QString &key) const;
    // Absent or not text: empty string.
    QString stringForKey(const QString &key) const;
    // Absent or not a number: 0. Text is read for its leading integer value.
    qint64 integerForKey(const QString &key) const;
    bool boolForKey(const QString &key) const;
    QByteArray dataForKey(const QString &key) const;

    void setObject(const QVariant &value, const QString &key);
    void setString(const QString &value, const QString &key) { setObject(value, key); }
    void setInteger(qint64 value, const QString &key) { setObject(value, key); }
    void setBool(bool value, const QString &key) { setObject(value, key); }
    void setData(const QByteArray &value, const QString &key) { setObject(value, key); }
    void removeObjectForKey(const QString &key);
    bool synchronize();

    // Integer value of a text the way NSString's integerValue reads it:
    // leading white space, optional sign, digits; anything else gives 0.
    static qint64 integerValueOfText(const QString &text);

    // Drops the in-memory state and opens the file again (a "restart" of the
    // storage for tests; optionally at another path).
    void reloadForTesting(const QString &path = QString());

signals:
    void didWrite(const QString &key);

private:
    VelUserDefaults();
    ~VelUserDefaults() override;
    void open(const QString &path);

    QString m_path;
    std::unique_ptr<QSettings> m_settings;
};
