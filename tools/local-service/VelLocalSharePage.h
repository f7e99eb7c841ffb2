#pragma once

#include "VelLocalHttp.h"

class VelLocalRecordStore;

// The page a shared recording's QR code opens: title, transcript and
// translation (HTML-escaped) and an audio player for the uploaded WAV.
class VelLocalSharePage
{
public:
    explicit VelLocalSharePage(const VelLocalRecordStore *records);

    static bool handles(const QString &path) { return path == QLatin1String("/record-share/index.html"); }
    VelLocalReply handle(const VelLocalRequest &request) const;

    static VelLocalReply notFoundPage(const QString &message);

private:
    const VelLocalRecordStore *m_records;
};
