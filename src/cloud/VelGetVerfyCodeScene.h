#pragma once

#include "cloud/VelNetBaseScene.h"

// Ask for an SMS code; "mark" is sent only when set.
class VelGetVerfyCodeScene : public VelNetBaseScene
{
public:
    QString phone() const { return m_phone; }
    void setPhone(const QString &phone) { m_phone = phone; }
    QString country() const { return m_country; }
    void setCountry(const QString &country) { m_country = country; }
    QString mark() const { return m_mark; }
    void setMark(const QString &mark) { m_mark = mark; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 0; }

private:
    QString m_phone;
    QString m_country;
    QString m_mark;
};
