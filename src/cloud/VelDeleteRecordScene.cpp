#include "VelDeleteRecordScene.h"

QString VelDeleteRecordScene::requestURL() const
{
    return serviceBaseURL() + QStringLiteral("/api/deleteRecord") + QStringLiteral("?id=") +
           QString::number(m_recordID);
}
