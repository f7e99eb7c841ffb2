#include "VelMultipartParser.h"

namespace {

const QByteArray kCrlf("\r\n");

// Splits `a=1; b="x;y"` style parameters after the first ';'. Quoted values may
// hold ';' and backslash escapes.
QList<QPair<QByteArray, QByteArray>> headerParameters(const QByteArray &value, QByteArray *first)
{
    QList<QPair<QByteArray, QByteArray>> result;
    qsizetype i = 0;
    const qsizetype n = value.size();
    while (i < n && value.at(i) != ';')
        ++i;
    if (first)
        *first = value.left(i).trimmed().toLower();
    while (i < n) {
        ++i;  // the ';'
        while (i < n && (value.at(i) == ' ' || value.at(i) == '\t'))
            ++i;
        const qsizetype nameStart = i;
        while (i < n && value.at(i) != '=' && value.at(i) != ';')
            ++i;
        const QByteArray name = value.mid(nameStart, i - nameStart).trimmed().toLower();
        QByteArray parameterValue;
        if (i < n && value.at(i) == '=') {
            ++i;
            while (i < n && (value.at(i) == ' ' || value.at(i) == '\t'))
                ++i;
            if (i < n && value.at(i) == '"') {
                ++i;
                while (i < n && value.at(i) != '"') {
                    if (value.at(i) == '\\' && i + 1 < n)
                        ++i;
                    parameterValue.append(value.at(i));
                    ++i;
                }
                if (i < n)
                    ++i;  // closing quote
                while (i < n && value.at(i) != ';')
                    ++i;
            } else {
                const qsizetype start = i;
                while (i < n && value.at(i) != ';')
                    ++i;
                parameterValue = value.mid(start, i - start).trimmed();
            }
        }
        if (!name.isEmpty())
            result.append({name, parameterValue});
    }
    return result;
}

}  // namespace

QByteArray VelMultipartParser::boundaryFromContentType(const QByteArray &contentType)
{
    QByteArray type;
    const auto parameters = headerParameters(contentType, &type);
    if (!type.startsWith("multipart/"))
        return {};
    for (const auto &parameter : parameters) {
        if (parameter.first == "boundary")
            return parameter.second;
    }
    return {};
}

bool VelMultipartParser::fail(const QString &why)
{
    m_parts.clear();
    m_error = why;
    return false;
}

bool VelMultipartParser::parse(const QByteArray &body, const QByteArray &boundary)
{
    return parse(body, boundary, 64 * 1024 * 1024);
}

bool VelMultipartParser::parse(const QByteArray &body, const QByteArray &boundary, qsizetype maxBodyBytes)
{
    m_parts.clear();
    m_error.clear();
    if (boundary.isEmpty() || boundary.size() > kMaxBoundaryLength)
        return fail(QStringLiteral("the multipart boundary is missing or longer than 70 characters"));
    if (body.size() > maxBodyBytes)
        return fail(QStringLiteral("the multipart body is larger than %1 bytes").arg(maxBodyBytes));

    const QByteArray delimiter = "--" + boundary;
    const QByteArray partEnd = kCrlf + delimiter;

    // The first delimiter opens the body or follows a preamble line.
    qsizetype pos = 0;
    if (!body.startsWith(delimiter)) {
        pos = body.indexOf(partEnd);
        if (pos < 0)
            return fail(QStringLiteral("the body holds no multipart boundary"));
        pos += kCrlf.size();
    }

    for (;;) {
        pos += delimiter.size();
        if (body.mid(pos, 2) == "--")
            return true;  // close delimiter; an epilogue is ignored
        while (pos < body.size() && (body.at(pos) == ' ' || body.at(pos) == '\t'))
            ++pos;
        if (body.mid(pos, 2) != kCrlf)
            return fail(QStringLiteral("a multipart boundary line is not followed by a line break"));
        pos += 2;

        if (m_parts.size() >= kMaxParts)
            return fail(QStringLiteral("more than %1 parts in the multipart body").arg(kMaxParts));

        QByteArray headerBlock;
        if (body.mid(pos, 2) == kCrlf) {
            pos += 2;  // a part without header lines
        } else {
            const qsizetype headerEnd = body.indexOf("\r\n\r\n", pos);
            if (headerEnd < 0 || headerEnd - pos > kMaxHeaderBytes)
                return fail(QStringLiteral("a part's header lines are unterminated or longer than %1 bytes")
                                .arg(kMaxHeaderBytes));
            headerBlock = body.mid(pos, headerEnd - pos);
            pos = headerEnd + 4;
        }

        VelMultipartPart part;
        if (!parseHeaders(headerBlock, part))
            return false;

        const qsizetype dataEnd = body.indexOf(partEnd, pos);
        if (dataEnd < 0)
            return fail(QStringLiteral("the part \"%1\" is not closed by a boundary").arg(part.name));
        part.data = body.mid(pos, dataEnd - pos);
        m_parts.append(part);
        pos = dataEnd + kCrlf.size();
    }
}

bool VelMultipartParser::parseHeaders(const QByteArray &block, VelMultipartPart &part)
{
    bool sawDisposition = false;
    for (const QByteArray &line : block.split('\n')) {
        const QByteArray trimmedLine = line.endsWith('\r') ? line.chopped(1) : line;
        if (trimmedLine.isEmpty())
            continue;
        const qsizetype colon = trimmedLine.indexOf(':');
        if (colon <= 0)
            return fail(QStringLiteral("a part header line has no name"));
        const QByteArray name = trimmedLine.left(colon).trimmed().toLower();
        const QByteArray value = trimmedLine.mid(colon + 1).trimmed();
        if (name == "content-disposition") {
            QByteArray kind;
            const auto parameters = headerParameters(value, &kind);
            if (kind != "form-data")
                return fail(QStringLiteral("a part's disposition is not form-data"));
            sawDisposition = true;
            for (const auto &parameter : parameters) {
                if (parameter.first == "name") {
                    part.name = QString::fromUtf8(parameter.second);
                } else if (parameter.first == "filename") {
                    part.fileName = QString::fromUtf8(parameter.second);
                    part.hasFileName = true;
                }
            }
        } else if (name == "content-type") {
            part.contentType = value;
        }
    }
    if (!sawDisposition || part.name.isEmpty())
        return fail(QStringLiteral("a part has no form-data name"));
    return true;
}

const VelMultipartPart *VelMultipartParser::part(const QString &name) const
{
    for (const VelMultipartPart &candidate : m_parts) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}
