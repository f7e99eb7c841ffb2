#include "VelLoginWithPasswordScene.h"

QString VelLoginWithPasswordScene::requestURL() const
{
    return QStringLiteral("%1/api/recordLogin?name=%2&password=%3&imei=%4")
        .arg(serviceBaseURL(), queryValue(m_userName), queryValue(m_passWord), queryValue(m_imei));
}
