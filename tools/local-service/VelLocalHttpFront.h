#pragma once

#include "VelLocalHttp.h"

#include <QAbstractHttpServer>
#include <functional>

class VelLocalRequestLog;

// One HTTP listener of the service (the service API, the semantic service, …).
// It turns Qt's request into a VelLocalRequest, refuses peers that are not on
// loopback and bodies over the limit, hands the rest to its handler, writes the
// reply and logs one line for it.
class VelLocalHttpFront : public QAbstractHttpServer
{
    Q_OBJECT
public:
    using Handler = std::function<VelLocalReply(const VelLocalRequest &)>;
    // The reply a service gives for errors the front detects itself, in that
    // service's own form (envelope, XML error, …).
    using ErrorReply = std::function<VelLocalReply(int status, const QString &message)>;

    VelLocalHttpFront(const QString &service, Handler handler, ErrorReply errorReply, VelLocalRequestLog *log,
                      qsizetype maxBodyBytes, QObject *parent = nullptr);

    // Listens on 127.0.0.1 (and, when asked, on ::1 as well); returns the port or 0.
    quint16 listenLoopback(quint16 port, bool alsoIpv6);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    VelLocalRequest convert(const QHttpServerRequest &request) const;

    QString m_service;
    Handler m_handler;
    ErrorReply m_errorReply;
    VelLocalRequestLog *m_log;
    qsizetype m_maxBodyBytes;
};
