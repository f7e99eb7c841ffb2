#pragma once

#include <QString>

// The addresses and credentials of the services the app talks to. They are
// constants of the build; tests of the app's classes point them at a local
// service on a free port through setOverridesForTesting().
class VelServiceConfig
{
public:
    struct Values {
        QString serviceApiBaseUrl;
        QString semanticBaseUrl;
        QString updateBaseUrl;
        QString translateBaseUrl;
        QString ossEndpoint;
        QString ossBucket;
        QString ossAccessKeyId;
        QString ossAccessKeySecret;
        QString reviewFeedUrl;
        QString speechWebSocketUrl;
        QString speechAppId;
        QString speechApiKey;
        QString translateAppId;
        QString translateSecretKey;
        QString semanticEngineId;
    };

    static Values buildDefaults();
    static const Values &current();
    static void setOverridesForTesting(const Values &values);
    static void clearOverridesForTesting();
};
