#include "VelaliyunOSSUtil.h"

#include "util/VelLog.h"
#include "util/VelServiceConfig.h"

#include <QFile>
#include <QThread>

VelaliyunOSSUtil &VelaliyunOSSUtil::sharedVelaliyunOSSUtil()
{
    static VelaliyunOSSUtil *util = new VelaliyunOSSUtil;
    return *util;
}

VelaliyunOSSUtil::VelaliyunOSSUtil()
{
    m_uploadQueue.setObjectName(QStringLiteral("uploadvoice"));
    // Several uploads may run at once, each blocking one thread until done.
    m_uploadQueue.setMaxThreadCount(4);
    init_config();
}

void VelaliyunOSSUtil::init_config()
{
    const auto &config = VelServiceConfig::current();
    // A fixed key pair with an empty security token.
    m_client = std::make_unique<VelOSSClient>(config.ossEndpoint, config.ossAccessKeyId, config.ossAccessKeySecret,
                                              QString());
}

void VelaliyunOSSUtil::uploadRecordWavFileWithFileName(const QString &fileName, const QString &filePath,
                                                       std::function<void(bool, const QString &)> callback)
{
    // The client is read on the pool thread; keep the one current now.
    const VelOSSClient client = *m_client;
    m_uploadQueue.start([client, fileName, filePath, callback] {
        QThread::currentThread()->setObjectName(QStringLiteral("uploadvoice"));
        QFile file(filePath);
        std::optional<QString> error;
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("%1: %2").arg(filePath, file.errorString());
        } else {
            const QByteArray data = file.readAll();
            file.close();
            error = client.putObject(kBucketName, fileName, data, [](qint64 step, qint64 sent, qint64 total) {
                velLog(QStringLiteral("当前上传长度：%1\n当前已经上传总长度：%2\n待上传的总长度：%3")
                           .arg(step)
                           .arg(sent)
                           .arg(total));
            });
        }
        if (error) {
            velLog(QStringLiteral("WAV文件上传失败 :%1").arg(*error));
            if (callback)
                callback(false, *error);
            return;
        }
        if (callback)
            callback(true, client.presignPublicURLWithBucketName(kBucketName, fileName));
    });
}
