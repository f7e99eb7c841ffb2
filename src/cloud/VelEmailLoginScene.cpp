#include "VelEmailLoginScene.h"

QString VelEmailLoginScene::requestURL() const
{
    return QStringLiteral("%1/api/mailLogin?account=%2&password=%3")
        .arg(serviceBaseURL(), queryValue(m_account), queryValue(m_password));
}
