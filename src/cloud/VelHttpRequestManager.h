#pragma once

#include <QObject>

#include <atomic>

// Sends the app's requests to its services. For now: network reachability.
class VelHttpRequestManager : public QObject
{
    Q_OBJECT
public:
    static VelHttpRequestManager &sharedVelHttpRequestManager();

    // Starts reachability monitoring (idempotent).
    void networkReachabilityManager();
    // YES while the network is known to be unreachable.
    bool validNetworkIsNotReable() const { return m_networkNotReachable.load(); }

private:
    VelHttpRequestManager() = default;
    void updateReachability();

    bool m_monitoring = false;
    std::atomic<bool> m_networkNotReachable{false};
};
