#include "VelGetVerfyCodeScene.h"

QString VelGetVerfyCodeScene::requestURL() const
{
    if (!m_mark.isEmpty())
        return QStringLiteral("%1/api/getLoginVerifyCode?phone=%2&country=%3&mark=%4")
            .arg(serviceBaseURL(), queryValue(m_phone), queryValue(m_country), queryValue(m_mark));
    return QStringLiteral("%1/api/getLoginVerifyCode?phone=%2&country=%3")
        .arg(serviceBaseURL(), queryValue(m_phone), queryValue(m_country));
}
