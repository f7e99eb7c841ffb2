#pragma once

#include "VelLocalOptions.h"

#include <QObject>
#include <memory>

class VelLocalAccountStore;
class VelLocalAdminRoutes;
class VelLocalDatabase;
class VelLocalHttpFront;
class VelLocalObjectStorage;
class VelLocalRecordStore;
class VelLocalRequestLog;
class VelLocalSemantic;
class VelLocalSharePage;
class VelLocalSpeechServer;
class VelLocalTranslation;
class VelLocalUpdateService;
struct VelLocalReply;
struct VelLocalRequest;

// The whole local service: opens the data folder, builds the parts and puts
// each on its port.
class VelLocalService : public QObject
{
    Q_OBJECT
public:
    explicit VelLocalService(QObject *parent = nullptr);
    ~VelLocalService() override;

    bool start(const VelLocalOptions &options, QString *error);

private:
    VelLocalReply serviceApi(const VelLocalRequest &request);
    bool writePortsFile(const QString &dataDir, QString *error) const;

    std::unique_ptr<VelLocalRequestLog> m_log;
    std::unique_ptr<VelLocalDatabase> m_database;
    std::unique_ptr<VelLocalAccountStore> m_accounts;
    std::unique_ptr<VelLocalRecordStore> m_records;
    std::unique_ptr<VelLocalSharePage> m_sharePage;
    std::unique_ptr<VelLocalSemantic> m_semantic;
    std::unique_ptr<VelLocalTranslation> m_translation;
    std::unique_ptr<VelLocalUpdateService> m_update;
    std::unique_ptr<VelLocalObjectStorage> m_objects;
    std::unique_ptr<VelLocalAdminRoutes> m_admin;
    VelLocalSpeechServer *m_speech = nullptr;
    QList<VelLocalHttpFront *> m_fronts;
    QList<std::pair<QString, quint16>> m_ports;
};
