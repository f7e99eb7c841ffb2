#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariantMap>

#include <optional>

using VelHeaderMap = QMap<QString, QString>;

// Describes one request to the service API: where it goes, how it is sent
// and how its reply is unpacked. VelNetBaseScene implements every operation;
// a concrete scene overrides what differs.
class VelNetSceneInterface
{
public:
    virtual ~VelNetSceneInterface() = default;

    virtual void setMyParameters(const QVariantMap &parameters) = 0;
    virtual void setMyRequestHeader(const VelHeaderMap &header) = 0;
    virtual void setMyRequestBody(const QByteArray &body) = 0;
    virtual QString schema() const = 0;
    virtual QString requestURL() const = 0;
    virtual QString httpMethod() const = 0;
    virtual VelHeaderMap requestHeader() const = 0;
    // Ordered by key: the query string lists them sorted.
    virtual QVariantMap requestParameters() const = 0;
    virtual std::optional<QByteArray> requestBody() const = 0;
    virtual qint64 timeOutInterval() const = 0;
    // 0 raw, 1 whole reply, 2 data field, 4 semantic match.
    virtual qint64 resultBackType() const = 0;
    virtual QString resultCodeParsingField() const = 0;
    virtual QString resultMessageParsingField() const = 0;
    virtual QString resultDataOneFloorParsingField() const = 0;
    virtual QString resultDataTwoFloorParsingField() const = 0;
};
