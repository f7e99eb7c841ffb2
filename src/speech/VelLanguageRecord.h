#pragma once

#include "speech/VelLanguageObjBase.h"

// The recognition language of smart recording.
class VelLanguageRecord : public VelLanguageObjBase
{
public:
    static VelLanguageRecord &sharedVelLanguageRecord();

    quint64 languageIndexOfRecord() const { return m_languageIndexOfRecord; }
    // Writes and synchronizes on every call, equal or not.
    void setLanguageIndexOfRecord(quint64 index);

protected:
    VelLanguageRecord();

private:
    quint64 m_languageIndexOfRecord = 0;
};
