#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One part of a multipart/form-data body.
struct VelMultipartPart {
    QString name;        // the "name" of Content-Disposition
    QString fileName;    // the "filename", empty for a plain field
    bool hasFileName = false;
    QByteArray contentType;
    QByteArray data;
};

// A bounded parser for multipart/form-data bodies (RFC 7578). Qt's HTTP server
// hands over the raw body only, so the service splits it itself. The parser
// never reads outside the given bytes, refuses bodies that break the limits
// below, and says why in errorString().
class VelMultipartParser
{
public:
    static constexpr int kMaxParts = 64;
    static constexpr int kMaxHeaderBytes = 8 * 1024;  // all header lines of one part
    static constexpr int kMaxBoundaryLength = 70;      // RFC 2046

    // Takes the boundary from a Content-Type value such as
    // `multipart/form-data; boundary="abc"`. Empty when there is none.
    static QByteArray boundaryFromContentType(const QByteArray &contentType);

    bool parse(const QByteArray &body, const QByteArray &boundary);
    bool parse(const QByteArray &body, const QByteArray &boundary, qsizetype maxBodyBytes);

    const QList<VelMultipartPart> &parts() const { return m_parts; }
    const VelMultipartPart *part(const QString &name) const;
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &why);
    bool parseHeaders(const QByteArray &block, VelMultipartPart &part);

    QList<VelMultipartPart> m_parts;
    QString m_error;
};
