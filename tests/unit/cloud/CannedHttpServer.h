#pragma once

// A tiny HTTP server for tests: records each request it receives and answers
// with the canned reply queued for it (or stalls, to let a time-out fire).

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>

struct CannedReply {
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body;
    bool stall = false; // read the request, never answer
};

struct RecordedRequest {
    QByteArray method;
    QByteArray target; // path and query as sent
    QMap<QByteArray, QByteArray> headers; // names lower-cased
    QByteArray body;

    QByteArray path() const { return target.split('?').first(); }
    QByteArray query() const
    {
        const qsizetype mark = target.indexOf('?');
        return mark < 0 ? QByteArray() : target.mid(mark + 1);
    }
};

class CannedHttpServer : public QTcpServer
{
public:
    CannedHttpServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { readFrom(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString baseURL() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

    // Replies are used in order; when none is queued, the default answers.
    QList<CannedReply> replies;
    CannedReply defaultReply{200, "application/json", R"({"rc":0,"msg":"ok","data":{}})", false};
    QList<RecordedRequest> requests;
    int connections = 0;

private:
    void readFrom(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        RecordedRequest request;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> first = lines.first().trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (buffer.size() < headerEnd + 4 + length)
            return; // wait for the rest of the body
        request.body = buffer.mid(headerEnd + 4, length);
        m_buffers.remove(socket);
        requests.append(request);

        const CannedReply reply = replies.isEmpty() ? defaultReply : replies.takeFirst();
        if (reply.stall)
            return;
        QByteArray answer = "HTTP/1.1 " + QByteArray::number(reply.status) + " Canned\r\n";
        if (!reply.contentType.isEmpty())
            answer += "Content-Type: " + reply.contentType + "\r\n";
        answer += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n";
        socket->write(answer + reply.body);
        socket->disconnectFromHost();
    }

    QMap<QTcpSocket *, QByteArray> m_buffers;
};
