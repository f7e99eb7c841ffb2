#pragma once

#include "cloud/VelNetError.h"
#include "cloud/VelNetSceneInterface.h"

#include <QNetworkInformation>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// The one way the app talks to its services. A request is described by a
// scene; its reply reaches the caller's block on the main thread, unpacked
// the way the scene's reply kind says. Also watches network reachability.
class VelHttpRequestManager : public QObject
{
    Q_OBJECT
public:
    static VelHttpRequestManager &sharedVelHttpRequestManager();

    // Starts reachability monitoring (idempotent).
    void networkReachabilityManager();
    void networkStatusChangeCallBack(std::function<void(bool reachable)> callback);
    // The reachability monitor's status handler: logs the new state, informs
    // the status callback and decides whether requests short-cut.
    void reachabilityChanged(QNetworkInformation::Reachability reachability);
    // YES only while the network is known to be unreachable.
    bool validNetworkIsNotReable() const { return m_networkNotReachable.load(); }

    // The shared client object; lives on the main thread.
    QNetworkAccessManager *urlSessionManager();

    // Sends one scene; returns at once. May be called from any thread.
    void httpRequestWithScene(std::shared_ptr<VelNetSceneInterface> scene, VelNetCallback callback);

    // Creates or updates a recording (a dictionary with "id" updates).
    void addNew(const QVariantMap &parameters, VelNetCallback callback);
    // Makes a share code for a recording ({"id": record id}).
    void httpAddNewShare(const QVariantMap &parameters, VelNetCallback callback);
    // Sends the feedback form with the current log file attached.
    void httpSendFeedbackWithParameters(const QVariantMap &parameters,
                                        std::function<void(const QVariant &reply)> Success,
                                        std::function<void(const VelNetError &error)> failure);
    // Asks the update service for the latest version.
    void httpGetNewVersion(const QVariantMap &parameters, VelNetCallback callback);
    // Translates q; the service's own errors arrive through success as
    // "Error: <code>".
    void httpBaiduTranslateRequestWithQ(const QString &q, const QString &from, const QString &to,
                                        std::function<void(const QString &result)> success,
                                        std::function<void(const VelNetError &error)> failure);
    // MD5 of appid + q + salt + secret key, lower-case hexadecimal.
    static QString generateSignWithBaiduDict(const QVariantMap &dict);

    // The whole scene URL escaped with the URL-query-allowed set; escapes
    // already in it (query values) are kept.
    static QString encodedRequestURL(const QString &url);
    // The URL with the parameters appended as a query, sorted by key, each
    // key and value escaped as a query component.
    static QString urlWithQuery(const QString &url, const QVariantMap &parameters);
    // Unpacks a reply body by the scene's reply kind. Returns false when the
    // kind delivers nothing (an unassigned kind).
    static bool unpackReply(const VelNetSceneInterface &scene, const QByteArray &body,
                            const QByteArray &contentType, bool &success, QVariant &result);

private:
    VelHttpRequestManager() = default;
    void updateReachability();
    void startSceneRequest(std::shared_ptr<VelNetSceneInterface> scene, const QString &url,
                           VelNetCallback callback);
    void deliverJSONReply(QNetworkReply *reply, const QStringList &acceptedTypes,
                          VelNetCallback callback);

    bool m_monitoring = false;
    std::atomic<bool> m_networkNotReachable{false};
    std::function<void(bool)> m_networkStatusCallback;
    QNetworkAccessManager *m_urlSessionManager = nullptr;
};
