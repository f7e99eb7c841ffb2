#pragma once

#include "cloud/VelNetBaseScene.h"

// Log in with an e-mail address and a password.
class VelEmailLoginScene : public VelNetBaseScene
{
public:
    QString account() const { return m_account; }
    void setAccount(const QString &account) { m_account = account; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 0; }

private:
    QString m_account;
    QString m_password;
};
