#pragma once

#include "cloud/VelNetBaseScene.h"

// Log in with a phone number and an SMS code.
class VelLoginWithYanzhengmaScene : public VelNetBaseScene
{
public:
    QString phone() const { return m_phone; }
    void setPhone(const QString &phone) { m_phone = phone; }
    QString code() const { return m_code; }
    void setCode(const QString &code) { m_code = code; }
    QString imei() const { return m_imei; }
    void setImei(const QString &imei) { m_imei = imei; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 0; }

private:
    QString m_phone;
    QString m_code;
    QString m_imei;
};
