#pragma once

#include "VelLocalHttp.h"

class VelLocalAccountStore;
class VelLocalRequestLog;
class VelLocalObjectStorage;
class VelLocalUpdateService;
class VelLocalSpeechServer;

// Loopback-only routes under /admin/ for tests and developers: what a real
// cloud would send elsewhere (codes), what arrived (the last request of each
// kind, uploaded objects), and what the services announce next (update reply,
// review flag, speech script).
class VelLocalAdminRoutes
{
public:
    VelLocalAdminRoutes(VelLocalAccountStore *accounts, VelLocalRequestLog *log, VelLocalObjectStorage *objects,
                        VelLocalUpdateService *update, VelLocalSpeechServer *speech);

    static bool handles(const QString &path) { return path == QLatin1String("/admin") || path.startsWith(QLatin1String("/admin/")); }
    VelLocalReply handle(const VelLocalRequest &request);

private:
    VelLocalAccountStore *m_accounts;
    VelLocalRequestLog *m_log;
    VelLocalObjectStorage *m_objects;
    VelLocalUpdateService *m_update;
    VelLocalSpeechServer *m_speech;
};
