#include "VelEmailForgotScene.h"

QString VelEmailForgotScene::requestURL() const
{
    return QStringLiteral("%1/api/mailForgetPwd?account=%2&code=%3&password=%4")
        .arg(serviceBaseURL(), queryValue(m_account), queryValue(m_code), queryValue(m_password));
}
