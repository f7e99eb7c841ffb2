#pragma once

#include "cloud/VelNetBaseScene.h"

// Ask for an e-mail code.
class VelGetEmailVerificationCodeScene : public VelNetBaseScene
{
public:
    QString account() const { return m_account; }
    void setAccount(const QString &account) { m_account = account; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 0; }

private:
    QString m_account;
};
