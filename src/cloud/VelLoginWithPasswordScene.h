#pragma once

#include "cloud/VelNetBaseScene.h"

// Log in with a phone number and a password.
class VelLoginWithPasswordScene : public VelNetBaseScene
{
public:
    QString userName() const { return m_userName; }
    void setUserName(const QString &userName) { m_userName = userName; }
    QString passWord() const { return m_passWord; }
    void setPassWord(const QString &passWord) { m_passWord = passWord; }
    QString imei() const { return m_imei; }
    void setImei(const QString &imei) { m_imei = imei; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 0; }

private:
    QString m_userName;
    QString m_passWord;
    QString m_imei;
};
