#pragma once

#include "cloud/VelOSSClient.h"

#include <QThreadPool>

#include <functional>
#include <memory>

// Stores recordings in the object store, bucket "travikoffice", under their
// file name.
class VelaliyunOSSUtil
{
public:
    static VelaliyunOSSUtil &sharedVelaliyunOSSUtil();

    void init_config();
    const VelOSSClient &client() const { return *m_client; }

    // Uploads the file on the "uploadvoice" pool; the block runs there with
    // (YES, public play URL) or (NO, error text).
    void uploadRecordWavFileWithFileName(const QString &fileName, const QString &filePath,
                                         std::function<void(bool success, const QString &result)> callback);

    static inline const QString kBucketName = QStringLiteral("travikoffice");

private:
    VelaliyunOSSUtil();

    std::unique_ptr<VelOSSClient> m_client;
    QThreadPool m_uploadQueue;
};
