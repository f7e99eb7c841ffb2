#pragma once

#include "cloud/VelNetBaseScene.h"

// Set a new password for an e-mail account.
class VelEmailForgotScene : public VelNetBaseScene
{
public:
    QString account() const { return m_account; }
    void setAccount(const QString &account) { m_account = account; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString code() const { return m_code; }
    void setCode(const QString &code) { m_code = code; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 0; }

private:
    QString m_account;
    QString m_password;
    QString m_code;
};
