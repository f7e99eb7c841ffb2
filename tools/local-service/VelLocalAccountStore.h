#pragma once

#include "VelLocalHttp.h"

#include <QJsonObject>
#include <optional>

class VelLocalDatabase;

// Accounts by mobile number or e-mail address: verification codes (4 digits by
// SMS, 6 by e-mail, valid 5 minutes, printed on the console because this machine
// sends neither), registration, log-in by password or code, password reset.
// Passwords are kept only as salted PBKDF2 digests.
class VelLocalAccountStore
{
public:
    static constexpr qint64 kCodeLifetimeSeconds = 5 * 60;

    explicit VelLocalAccountStore(VelLocalDatabase *database);

    // The reply for an account path, or nothing when the path is not one of them.
    std::optional<VelLocalReply> handle(const VelLocalRequest &request);

    // The last code issued for a phone number or e-mail address, for the admin route.
    QJsonObject lastCode(const QString &target) const;

private:
    struct User {
        qint64 id = 0;
        QString phone;
        QString email;
        QByteArray salt;
        QByteArray hash;
        QString nickName;
        QString createTime;
        QString updateTime;
    };

    VelLocalReply passwordLogin(const QString &name, const QString &password, bool byEmail);
    VelLocalReply codeLogin(const QString &phone, const QString &code);
    VelLocalReply smsCode(const QString &phone, const QString &mark);
    VelLocalReply mailCode(const QString &account);
    VelLocalReply registerOrReset(const VelLocalRequest &request);
    VelLocalReply mailReset(const QString &account, const QString &code, const QString &password);

    std::optional<User> findUser(const QString &phoneOrEmail) const;
    std::optional<User> createUser(const QString &phone, const QString &email, const QString &password);
    void setPassword(qint64 userId, const QString &password);
    QString issueCode(const QString &target, int digits);
    bool takeCode(const QString &target, const QString &code);
    static QByteArray digest(const QString &password, const QByteArray &salt);
    static QJsonObject userJson(const User &user);

    VelLocalDatabase *m_database;
};
