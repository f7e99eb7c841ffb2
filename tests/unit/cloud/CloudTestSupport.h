#pragma once

#include "CannedHttpServer.h"

#include "util/VelServiceConfig.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

// Points every service address at one canned server.
inline void pointServicesAt(const CannedHttpServer &server)
{
    VelServiceConfig::Values values = VelServiceConfig::buildDefaults();
    values.serviceApiBaseUrl = server.baseURL();
    values.semanticBaseUrl = server.baseURL();
    values.updateBaseUrl = server.baseURL();
    values.translateBaseUrl = server.baseURL();
    values.ossEndpoint = QStringLiteral("http://oss-test.localhost:%1").arg(server.serverPort());
    VelServiceConfig::setOverridesForTesting(values);
}

// Collects what the process writes to standard output while it lives (the
// log goes there).
class StdoutCapture
{
public:
    StdoutCapture()
    {
        m_file.open();
        std::fflush(stdout);
        m_saved = ::dup(STDOUT_FILENO);
        ::dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() { restore(); }
    QString text()
    {
        restore();
        QFile file(m_file.fileName());
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};
