#include "VelLocalHttpFront.h"

#include "VelLocalRequestLog.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QUrl>

namespace {

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get: return "GET";
    case QHttpServerRequest::Method::Put: return "PUT";
    case QHttpServerRequest::Method::Delete: return "DELETE";
    case QHttpServerRequest::Method::Post: return "POST";
    case QHttpServerRequest::Method::Head: return "HEAD";
    case QHttpServerRequest::Method::Options: return "OPTIONS";
    case QHttpServerRequest::Method::Patch: return "PATCH";
    case QHttpServerRequest::Method::Connect: return "CONNECT";
    case QHttpServerRequest::Method::Trace: return "TRACE";
    default: return "UNKNOWN";
    }
}

}  // namespace

VelLocalHttpFront::VelLocalHttpFront(const QString &service, Handler handler, ErrorReply errorReply,
                                     VelLocalRequestLog *log, qsizetype maxBodyBytes, QObject *parent)
    : QAbstractHttpServer(parent)
    , m_service(service)
    , m_handler(std::move(handler))
    , m_errorReply(std::move(errorReply))
    , m_log(log)
    , m_maxBodyBytes(maxBodyBytes)
{
}

quint16 VelLocalHttpFront::listenLoopback(quint16 port, bool alsoIpv6)
{
    const quint16 bound = listen(QHostAddress::LocalHost, port);
    if (bound == 0)
        return 0;
    if (alsoIpv6) {
        // Names under .localhost resolve to ::1 first; serve it too so clients
        // need not fall back. Failure (no IPv6 loopback) is harmless.
        auto *server = new QTcpServer(this);
        if (server->listen(QHostAddress::LocalHostIPv6, bound))
            bind(server);
        else
            delete server;
    }
    return bound;
}

VelLocalRequest VelLocalHttpFront::convert(const QHttpServerRequest &request) const
{
    VelLocalRequest converted;
    converted.service = m_service;
    converted.method = methodName(request.method());
    const QUrl url = request.url();
    converted.rawPath = url.path(QUrl::FullyEncoded).toLatin1();
    converted.path = url.path(QUrl::FullyDecoded);
    converted.rawQuery = url.query(QUrl::FullyEncoded).toLatin1();
    converted.query = QUrlQuery(url.query(QUrl::FullyEncoded));
    converted.headers = request.headers();
    converted.body = request.body();
    converted.peer = request.remoteAddress();
    return converted;
}

bool VelLocalHttpFront::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const VelLocalRequest converted = convert(request);
    VelLocalReply reply;
    if (!converted.peer.isLoopback()) {
        reply = m_errorReply(403, QStringLiteral("this service answers loopback clients only"));
    } else if (converted.body.size() > m_maxBodyBytes) {
        reply = m_errorReply(413, QStringLiteral("the request body is larger than the limit of %1 bytes")
                                      .arg(m_maxBodyBytes));
    } else {
        reply = m_handler(converted);
    }

    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
    responder.writeHeader("Content-Type", reply.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    for (const auto &header : reply.headers)
        responder.writeHeader(header.first, header.second);
    responder.writeBody(converted.method == "HEAD" ? QByteArray() : reply.body);
    m_log->record(converted, reply.status);
    return true;
}

void VelLocalHttpFront::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // handleRequest() answers every request; this is never reached.
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.write(QHttpServerResponder::StatusCode::NotFound);
}
