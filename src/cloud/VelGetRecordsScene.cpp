#include "VelGetRecordsScene.h"

QString VelGetRecordsScene::requestURL() const
{
    return QStringLiteral("%1/api/getRecords?userid=%2").arg(serviceBaseURL(), queryValue(m_userID));
}
