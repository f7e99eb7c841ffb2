#include "VelLoginWithYanzhengmaScene.h"

QString VelLoginWithYanzhengmaScene::requestURL() const
{
    return QStringLiteral("%1/api/recordLogin?phone=%2&code=%3&passWord=&tonken=&imei=%4")
        .arg(serviceBaseURL(), queryValue(m_phone), queryValue(m_code), queryValue(m_imei));
}
