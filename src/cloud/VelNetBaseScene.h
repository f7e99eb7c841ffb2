#pragma once

#include "cloud/VelNetSceneInterface.h"

// Defaults shared by every scene: GET to the service API base URL, the
// common parameters, a 10-second time-out and the "rc"/"msg"/"data" envelope.
class VelNetBaseScene : public VelNetSceneInterface
{
public:
    void setMyParameters(const QVariantMap &parameters) override { myParam = parameters; }
    void setMyRequestHeader(const VelHeaderMap &header) override { myHeaderParam = header; }
    void setMyRequestBody(const QByteArray &body) override { myBodyData = body; }
    QString schema() const override { return QStringLiteral("HTTP"); }
    QString requestURL() const override;
    QString httpMethod() const override { return QStringLiteral("GET"); }
    VelHeaderMap requestHeader() const override;
    QVariantMap requestParameters() const override;
    std::optional<QByteArray> requestBody() const override { return myBodyData; }
    qint64 timeOutInterval() const override { return 10; }
    qint64 resultBackType() const override { return 2; }
    QString resultCodeParsingField() const override { return QStringLiteral("rc"); }
    QString resultMessageParsingField() const override { return QStringLiteral("msg"); }
    QString resultDataOneFloorParsingField() const override { return QStringLiteral("data"); }
    QString resultDataTwoFloorParsingField() const override { return QString(); }

    // The six parameters every plain scene sends: vid, pid, sn, channelName,
    // macAddr, clientversion; built afresh at each call.
    static QVariantMap commonParameters();
    // The service API base URL (no trailing slash).
    static QString serviceBaseURL();
    // One query value, escaped as a query component: "&", "=", "+", "#" and
    // non-ASCII text arrive as the user typed them.
    static QString queryValue(const QString &value);

protected:
    std::optional<QVariantMap> myParam;
    std::optional<VelHeaderMap> myHeaderParam;
    std::optional<QByteArray> myBodyData;
};
