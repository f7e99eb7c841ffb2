#include "VelNetBaseScene.h"

#include "VelBuildConstants.h"
#include "app/VelUserInfoData.h"
#include "util/VelServiceConfig.h"
#include "util/VelTextHelpers.h"

#include <QUrl>

QString VelNetBaseScene::requestURL() const
{
    return serviceBaseURL();
}

VelHeaderMap VelNetBaseScene::requestHeader() const
{
    if (myHeaderParam)
        return *myHeaderParam;
    return {{QStringLiteral("Content-Type"), QStringLiteral("text/html;charset=utf-8")}};
}

QVariantMap VelNetBaseScene::requestParameters() const
{
    if (myParam)
        return *myParam;
    return commonParameters();
}

QVariantMap VelNetBaseScene::commonParameters()
{
    auto &mouse = VelUserInfoData::sharedVelUserInfoData().mouseInfoItem();
    return {
        {QStringLiteral("vid"), QString::number(mouse.vid())},
        {QStringLiteral("pid"), QString::number(mouse.pid())},
        {QStringLiteral("sn"), mouse.sn()},
        {QStringLiteral("channelName"), QStringLiteral("VELO")},
        // The service keys devices by the upper-case colon form.
        {QStringLiteral("macAddr"), VelTextHelpers::vel_getMacAddress().toUpper()},
        {QStringLiteral("clientversion"), QString::fromUtf8(VelBuild::kShortVersion)},
    };
}

QString VelNetBaseScene::serviceBaseURL()
{
    return VelServiceConfig::current().serviceApiBaseUrl;
}

QString VelNetBaseScene::queryValue(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}
