#include "VelServiceConfig.h"

#include "VelBuildConstants.h"

#include <optional>

namespace {
std::optional<VelServiceConfig::Values> &overrides()
{
    static std::optional<VelServiceConfig::Values> values;
    return values;
}
} // namespace

VelServiceConfig::Values VelServiceConfig::buildDefaults()
{
    using namespace VelBuild;
    return Values{
        QString::fromUtf8(kServiceApiBaseUrl), QString::fromUtf8(kSemanticBaseUrl),
        QString::fromUtf8(kUpdateBaseUrl),     QString::fromUtf8(kTranslateBaseUrl),
        QString::fromUtf8(kOssEndpoint),       QString::fromUtf8(kOssBucket),
        QString::fromUtf8(kOssAccessKeyId),    QString::fromUtf8(kOssAccessKeySecret),
        QString::fromUtf8(kReviewFeedUrl),     QString::fromUtf8(kSpeechWebSocketUrl),
        QString::fromUtf8(kSpeechAppId),       QString::fromUtf8(kSpeechApiKey),
        QString::fromUtf8(kTranslateAppId),    QString::fromUtf8(kTranslateSecretKey),
        QString::fromUtf8(kSemanticEngineId),
    };
}

const VelServiceConfig::Values &VelServiceConfig::current()
{
    static const Values defaults = buildDefaults();
    return overrides() ? *overrides() : defaults;
}

void VelServiceConfig::setOverridesForTesting(const Values &values)
{
    overrides() = values;
}

void VelServiceConfig::clearOverridesForTesting()
{
    overrides().reset();
}
