#pragma once

#include "cloud/VelNetBaseScene.h"

// Register, or set a new password, by phone or by e-mail.
class VelRegisterScene : public VelNetBaseScene
{
public:
    QString phone() const { return m_phone; }
    void setPhone(const QString &phone) { m_phone = phone; }
    QString account() const { return m_account; }
    void setAccount(const QString &account) { m_account = account; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString code() const { return m_code; }
    void setCode(const QString &code) { m_code = code; }
    QString mark() const { return m_mark; }
    void setMark(const QString &mark) { m_mark = mark; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 0; }

private:
    QString m_phone;
    QString m_account;
    QString m_password;
    QString m_code;
    QString m_mark;
};
