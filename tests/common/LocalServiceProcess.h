#pragma once

// Starts the real travik-vazade-local-service on free ports with its own data
// folder, and small blocking HTTP helpers for the contract tests.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>

struct HttpResult {
    int status = 0;
    QByteArray body;
    QList<QNetworkReply::RawHeaderPair> headers;
    QString error;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

class LocalServiceProcess
{
public:
    ~LocalServiceProcess() { stop(); }

    bool start(const QString &dataDir, const QStringList &extra = {})
    {
        m_dataDir = dataDir;
        QFile::remove(dataDir + QStringLiteral("/ports.json"));
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral(VEL_BINARY_DIR "/tools/local-service/travik-vazade-local-service"),
                        QStringList{QStringLiteral("--data"), dataDir, QStringLiteral("--ports-from-free")} + extra);
        if (!m_process.waitForStarted(5000))
            return false;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            QFile file(dataDir + QStringLiteral("/ports.json"));
            if (file.open(QIODevice::ReadOnly)) {
                m_ports = QJsonDocument::fromJson(file.readAll()).object();
                if (m_ports.contains(QStringLiteral("speech")))
                    return true;
            }
            if (m_process.state() != QProcess::Running)
                return false;
            QTest::qWait(50);
        }
        return false;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
        m_output += m_process.readAll();
    }

    QByteArray output()
    {
        m_output += m_process.readAll();
        return m_output;
    }

    int port(const char *service) const { return m_ports.value(QLatin1String(service)).toInt(); }
    QString base(const char *service) const { return QStringLiteral("http://127.0.0.1:%1").arg(port(service)); }

    HttpResult send(const QByteArray &method, const QUrl &url, const QByteArray &body = {},
                    const QList<QPair<QByteArray, QByteArray>> &headers = {}, QHttpMultiPart *multipart = nullptr)
    {
        QNetworkRequest request(url);
        request.setTransferTimeout(15000);
        for (const auto &header : headers)
            request.setRawHeader(header.first, header.second);
        QNetworkReply *reply = multipart ? m_network.sendCustomRequest(request, method, multipart)
                                         : m_network.sendCustomRequest(request, method, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        HttpResult result;
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.body = reply->readAll();
        result.headers = reply->rawHeaderPairs();
        if (reply->error() != QNetworkReply::NoError)
            result.error = reply->errorString();
        reply->deleteLater();
        return result;
    }

    HttpResult get(const QString &url) { return send("GET", QUrl(url)); }

    // The last verification code the service issued for a phone number or address.
    QString lastCode(const QString &target)
    {
        QUrl url(base("api") + QStringLiteral("/admin/code"));
        url.setQuery(QStringLiteral("target=") + QString::fromLatin1(QUrl::toPercentEncoding(target)));
        return send("GET", url).json().value(QStringLiteral("code")).toString();
    }

private:
    QProcess m_process;
    QString m_dataDir;
    QJsonObject m_ports;
    QByteArray m_output;
    QNetworkAccessManager m_network;
};
