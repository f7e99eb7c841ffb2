#pragma once

#include "app/VelMouseInfoItem.h"
#include "cloud/VelUserInfoItem.h"

#include <QString>

#include <memory>
#include <optional>

class LoginItems;

// Application and account settings, written through to the user defaults.
class VelUserInfoData
{
public:
    static VelUserInfoData &sharedVelUserInfoData();
    virtual ~VelUserInfoData();

    QString clientID() const { return m_clientID; }
    void setClientID(const QString &clientID);

    bool bootUpSwitch() const { return m_bootUpSwitch; }
    void setBootUpSwitch(bool on);

    qint64 recordWindowShow() const { return m_recordWindowShow; }
    void setRecordWindowShow(qint64 value);
    qint64 zhimuWindowShow() const { return m_zhimuWindowShow; }
    void setZhimuWindowShow(qint64 value);

    QString accoutName() const { return m_accoutName; }
    void setAccoutName(const QString &name);

    // Read from the defaults on every call; nullopt when logged out.
    std::optional<VelUserInfoItem> userInfoItem() const;
    void setUserInfoItem(const std::optional<VelUserInfoItem> &item);

    QString logFilepath() const { return m_logFilepath; }
    void setLogFilepath(const QString &path) { m_logFilepath = path; }

    VelMouseInfoItem &mouseInfoItem();

    // MD5 of "<prefix>-<new UUID>": a 32-digit lower-case hex identifier.
    QString createCUID(const QString &prefix) const;

    bool isStartAtLogin() const;
    bool setStartAtLogin(bool on);

protected:
    // Loads every field from the defaults. Only the shared accessor (and
    // tests, to simulate a restart) make instances.
    VelUserInfoData();

private:
    QString programPath() const;

    QString m_clientID;
    bool m_bootUpSwitch = false;
    qint64 m_recordWindowShow = 1;
    qint64 m_zhimuWindowShow = 1;
    QString m_accoutName;
    std::optional<VelUserInfoItem> m_userInfoItem;
    QString m_logFilepath;
    std::unique_ptr<VelMouseInfoItem> m_mouseInfoItem;
    std::unique_ptr<LoginItems> m_loginItems;
};
