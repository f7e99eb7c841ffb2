#include "VelLocalAdminRoutes.h"

#include "VelLocalAccountStore.h"
#include "VelLocalObjectStorage.h"
#include "VelLocalRequestLog.h"
#include "VelLocalSpeechServer.h"
#include "VelLocalUpdateService.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

VelLocalReply adminError(int status, const QString &message)
{
    return VelLocalReply::json(QJsonObject{{QStringLiteral("error"), message}}, status);
}

QJsonObject routeIndex()
{
    return QJsonObject{
        {QStringLiteral("GET /admin/code?target=PHONE_OR_EMAIL"), QStringLiteral("last verification code issued")},
        {QStringLiteral("GET /admin/last-request?path=PATH"), QStringLiteral("last request to a path, any service")},
        {QStringLiteral("GET /admin/last-request?service=NAME"),
         QStringLiteral("last request of api, semantic, update, translate, oss or speech")},
        {QStringLiteral("GET /admin/requests"), QStringLiteral("every path seen with its last method and status")},
        {QStringLiteral("GET /admin/objects"), QStringLiteral("uploaded objects")},
        {QStringLiteral("GET|POST /admin/update"), QStringLiteral("the update reply: version, url, contents, is_mandatory")},
        {QStringLiteral("GET|POST /admin/review"), QStringLiteral("the review feed's flag: {\"underReview\": true}")},
        {QStringLiteral("GET|POST|DELETE /admin/speech-script"),
         QStringLiteral("queue a script for the next speech session (?default=1: for every session)")},
    };
}

}  // namespace

VelLocalAdminRoutes::VelLocalAdminRoutes(VelLocalAccountStore *accounts, VelLocalRequestLog *log,
                                         VelLocalObjectStorage *objects, VelLocalUpdateService *update,
                                         VelLocalSpeechServer *speech)
    : m_accounts(accounts)
    , m_log(log)
    , m_objects(objects)
    , m_update(update)
    , m_speech(speech)
{
}

VelLocalReply VelLocalAdminRoutes::handle(const VelLocalRequest &request)
{
    const QString route = request.path.mid(QStringLiteral("/admin").size());
    const bool isGet = request.method == "GET";
    const bool isPost = request.method == "POST" || request.method == "PUT";

    if ((route.isEmpty() || route == QLatin1String("/")) && isGet)
        return VelLocalReply::json(routeIndex());

    if (route == QLatin1String("/code") && isGet) {
        const QJsonObject code = m_accounts->lastCode(request.queryValue(QStringLiteral("target")));
        return code.isEmpty() ? adminError(404, QStringLiteral("no code was issued for this target"))
                              : VelLocalReply::json(code);
    }
    if (route == QLatin1String("/last-request") && isGet) {
        const QJsonObject last = request.hasQueryKey(QStringLiteral("service"))
                                     ? m_log->lastForService(request.queryValue(QStringLiteral("service")))
                                     : m_log->lastForPath(request.queryValue(QStringLiteral("path")));
        return last.isEmpty() ? adminError(404, QStringLiteral("no such request has arrived")) : VelLocalReply::json(last);
    }
    if (route == QLatin1String("/requests") && isGet)
        return VelLocalReply::json(m_log->summary());
    if (route == QLatin1String("/objects") && isGet)
        return VelLocalReply::json(QJsonObject{{QStringLiteral("objects"), m_objects->objects()}});

    if (route == QLatin1String("/update") && (isGet || isPost)) {
        if (isPost) {
            const QJsonDocument document = QJsonDocument::fromJson(request.body);
            if (!document.isObject())
                return adminError(400, QStringLiteral("send a JSON object with version, url, contents, is_mandatory"));
            const QString error = m_update->setRelease(document.object());
            if (!error.isEmpty())
                return adminError(400, error);
        }
        return VelLocalReply::json(m_update->release());
    }
    if (route == QLatin1String("/review") && (isGet || isPost)) {
        if (isPost) {
            const QJsonValue flag = QJsonDocument::fromJson(request.body).object().value(QStringLiteral("underReview"));
            if (flag.isBool())
                m_update->setUnderReview(flag.toBool());
            else if (flag.isDouble() && (flag.toInt() == 0 || flag.toInt() == 1))
                m_update->setUnderReview(flag.toInt() == 1);
            else
                return adminError(400, QStringLiteral("send {\"underReview\": true} or false"));
        }
        return VelLocalReply::json(QJsonObject{{QStringLiteral("underReview"), m_update->underReview()}});
    }
    if (route == QLatin1String("/speech-script")) {
        if (isPost) {
            const QString script = QString::fromUtf8(request.body);
            const bool asDefault = request.queryValue(QStringLiteral("default")) == QLatin1String("1");
            const QString error = asDefault ? m_speech->setDefaultScript(script) : m_speech->enqueueScript(script);
            if (!error.isEmpty())
                return adminError(400, error);
            return VelLocalReply::json(m_speech->scriptState());
        }
        if (request.method == "DELETE") {
            m_speech->clearScripts();
            return VelLocalReply::json(m_speech->scriptState());
        }
        if (isGet)
            return VelLocalReply::json(m_speech->scriptState());
    }
    return adminError(404, QStringLiteral("no admin route %1 %2; GET /admin/ lists them")
                               .arg(QString::fromLatin1(request.method), request.path));
}
