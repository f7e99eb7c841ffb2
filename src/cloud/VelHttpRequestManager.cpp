#include "VelHttpRequestManager.h"

#include "util/VelLog.h"

#include <QNetworkInformation>

VelHttpRequestManager &VelHttpRequestManager::sharedVelHttpRequestManager()
{
    static VelHttpRequestManager *manager = new VelHttpRequestManager;
    return *manager;
}

void VelHttpRequestManager::networkReachabilityManager()
{
    if (m_monitoring)
        return;
    m_monitoring = true;
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        velLog(QStringLiteral("网络状态：无法监测网络可达性，按可达处理"));
        return;
    }
    auto *info = QNetworkInformation::instance();
    connect(info, &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability) { updateReachability(); });
    updateReachability();
}

void VelHttpRequestManager::updateReachability()
{
    auto *info = QNetworkInformation::instance();
    if (!info)
        return;
    const auto reachability = info->reachability();
    // Unknown counts as reachable: only a known outage short-cuts requests.
    const bool down = reachability == QNetworkInformation::Reachability::Disconnected;
    m_networkNotReachable = down;
    velLog(QStringLiteral("网络状态：%1").arg(int(reachability)));
}
