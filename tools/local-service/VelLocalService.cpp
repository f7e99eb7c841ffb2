#include "VelLocalService.h"

#include "VelBuildConstants.h"
#include "VelLocalAccountStore.h"
#include "VelLocalAdminRoutes.h"
#include "VelLocalDatabase.h"
#include "VelLocalHttpFront.h"
#include "VelLocalObjectStorage.h"
#include "VelLocalRecordStore.h"
#include "VelLocalRequestLog.h"
#include "VelLocalSemantic.h"
#include "VelLocalSharePage.h"
#include "VelLocalSpeechServer.h"
#include "VelLocalTranslation.h"
#include "VelLocalUpdateService.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUrl>

namespace {

VelLocalReply apiError(int status, const QString &message)
{
    VelLocalReply reply = VelLocalReply::envelope(status, message);
    reply.status = status;
    return reply;
}

}  // namespace

VelLocalService::VelLocalService(QObject *parent)
    : QObject(parent)
{
}

VelLocalService::~VelLocalService() = default;

bool VelLocalService::start(const VelLocalOptions &options, QString *error)
{
    if (!QDir().mkpath(options.dataDir)) {
        *error = QStringLiteral("cannot create the data folder %1").arg(options.dataDir);
        return false;
    }
    m_log = std::make_unique<VelLocalRequestLog>();
    m_database = std::make_unique<VelLocalDatabase>();
    if (!m_database->open(options.dataDir, error))
        return false;
    m_accounts = std::make_unique<VelLocalAccountStore>(m_database.get());
    m_records = std::make_unique<VelLocalRecordStore>(m_database.get(), options.dataDir);
    m_sharePage = std::make_unique<VelLocalSharePage>(m_records.get());
    m_semantic = std::make_unique<VelLocalSemantic>();
    m_translation = std::make_unique<VelLocalTranslation>();
    m_update = std::make_unique<VelLocalUpdateService>(m_database.get());
    m_objects = std::make_unique<VelLocalObjectStorage>(m_database.get(), options.dataDir);
    m_speech = new VelLocalSpeechServer(m_log.get(), this);
    m_admin = std::make_unique<VelLocalAdminRoutes>(m_accounts.get(), m_log.get(), m_objects.get(), m_update.get(),
                                                    m_speech);

    QJsonObject release;
    if (options.updateVersion)
        release.insert(QStringLiteral("version"), *options.updateVersion);
    if (options.updateUrl)
        release.insert(QStringLiteral("url"), *options.updateUrl);
    if (options.updateContents)
        release.insert(QStringLiteral("contents"), *options.updateContents);
    if (options.updateMandatory)
        release.insert(QStringLiteral("is_mandatory"), *options.updateMandatory);
    m_update->setRelease(release);
    if (options.underReview)
        m_update->setUnderReview(*options.underReview);
    if (!options.speechScript.isEmpty()) {
        const QString scriptError = m_speech->setDefaultScript(options.speechScript);
        if (!scriptError.isEmpty()) {
            *error = QStringLiteral("the speech script is malformed: %1").arg(scriptError);
            return false;
        }
    }

    struct Listener {
        QString name;
        quint16 port;
        VelLocalHttpFront::Handler handler;
        VelLocalHttpFront::ErrorReply errorReply;
        bool alsoIpv6;
    };
    const QList<Listener> listeners{
        {QStringLiteral("api"), options.apiPort, [this](const VelLocalRequest &r) { return serviceApi(r); }, apiError, false},
        {QStringLiteral("semantic"), options.semanticPort,
         [this](const VelLocalRequest &r) { return m_semantic->handle(r); }, VelLocalSemantic::errorReply, false},
        {QStringLiteral("update"), options.updatePort, [this](const VelLocalRequest &r) { return m_update->handle(r); },
         VelLocalUpdateService::errorReply, false},
        {QStringLiteral("translate"), options.translatePort,
         [this](const VelLocalRequest &r) { return m_translation->handle(r); }, VelLocalTranslation::errorReply, false},
        // The public object address is a *.localhost name, which resolves to ::1 as well.
        {QStringLiteral("oss"), options.ossPort, [this](const VelLocalRequest &r) { return m_objects->handle(r); },
         VelLocalObjectStorage::errorReply, true},
    };
    for (const Listener &listener : listeners) {
        auto *front = new VelLocalHttpFront(listener.name, listener.handler, listener.errorReply, m_log.get(),
                                            options.maxBodyBytes, this);
        const quint16 port = front->listenLoopback(options.portsFromFree ? 0 : listener.port, listener.alsoIpv6);
        if (port == 0) {
            *error = QStringLiteral("cannot listen on 127.0.0.1:%1 for the %2 service (is another instance running?)")
                         .arg(listener.port)
                         .arg(listener.name);
            return false;
        }
        m_fronts.append(front);
        m_ports.append({listener.name, port});
    }
    const quint16 speechPort = m_speech->listen(options.portsFromFree ? 0 : options.speechPort);
    if (speechPort == 0) {
        *error = QStringLiteral("cannot listen on 127.0.0.1:%1 for the speech WebSocket").arg(options.speechPort);
        return false;
    }
    m_ports.append({QStringLiteral("speech"), speechPort});

    if (!writePortsFile(options.dataDir, error))
        return false;
    QStringList described;
    for (const auto &[name, port] : m_ports)
        described.append(QStringLiteral("%1 127.0.0.1:%2").arg(name).arg(port));
    VelLocalRequestLog::line(QStringLiteral("data in %1").arg(QDir(options.dataDir).absolutePath()));
    VelLocalRequestLog::line(QStringLiteral("listening: %1").arg(described.join(QStringLiteral(", "))));
    return true;
}

bool VelLocalService::writePortsFile(const QString &dataDir, QString *error) const
{
    QJsonObject ports;
    for (const auto &[name, port] : m_ports)
        ports.insert(name, port);
    QSaveFile file(QDir(dataDir).filePath(QStringLiteral("ports.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(ports).toJson()) < 0 || !file.commit()) {
        *error = QStringLiteral("cannot write %1").arg(file.fileName());
        return false;
    }
    return true;
}

VelLocalReply VelLocalService::serviceApi(const VelLocalRequest &request)
{
    if (request.path.startsWith(QLatin1String("/api/"))) {
        if (std::optional<VelLocalReply> reply = m_accounts->handle(request))
            return *reply;
        if (std::optional<VelLocalReply> reply = m_records->handle(request))
            return *reply;
        return apiError(404, QStringLiteral("没有这个接口：%1").arg(request.path));
    }
    if (VelLocalSharePage::handles(request.path))
        return m_sharePage->handle(request);
    if (request.path == QUrl(QString::fromLatin1(VelBuild::kReviewFeedUrl)).path())
        return m_update->reviewFeed();
    if (VelLocalAdminRoutes::handles(request.path))
        return m_admin->handle(request);
    return VelLocalSharePage::notFoundPage(QStringLiteral("没有这个页面。"));
}
