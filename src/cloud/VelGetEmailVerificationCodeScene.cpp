#include "VelGetEmailVerificationCodeScene.h"

QString VelGetEmailVerificationCodeScene::requestURL() const
{
    return QStringLiteral("%1/api/mailVerifyCode?account=%2").arg(serviceBaseURL(), queryValue(m_account));
}
