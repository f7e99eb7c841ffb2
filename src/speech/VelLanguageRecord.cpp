#include "VelLanguageRecord.h"

namespace {
const QString kLanguageIndexOfRecordKey = QStringLiteral("languageIndexOfRecordKey");
}

VelLanguageRecord &VelLanguageRecord::sharedVelLanguageRecord()
{
    static VelLanguageRecord *instance = new VelLanguageRecord;
    return *instance;
}

VelLanguageRecord::VelLanguageRecord()
    : m_languageIndexOfRecord(readIndex(kLanguageIndexOfRecordKey, 0))
{
}

void VelLanguageRecord::setLanguageIndexOfRecord(quint64 index)
{
    m_languageIndexOfRecord = index;
    writeIndex(index, kLanguageIndexOfRecordKey);
}
