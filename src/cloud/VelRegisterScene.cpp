#include "VelRegisterScene.h"

QString VelRegisterScene::requestURL() const
{
    if (!m_phone.isEmpty())
        return QStringLiteral("%1/api/registerAndModifyPwd?phone=%2&password=%3&code=%4&mark=%5")
            .arg(serviceBaseURL(), queryValue(m_phone), queryValue(m_password), queryValue(m_code),
                 queryValue(m_mark));
    return QStringLiteral("%1/api/registerAndModifyPwd?account=%2&password=%3&code=%4&mark=%5")
        .arg(serviceBaseURL(), queryValue(m_account), queryValue(m_password), queryValue(m_code),
             queryValue(m_mark));
}
