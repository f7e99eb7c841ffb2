// libFuzzer target for the local service's multipart/form-data parser: any
// body and Content-Type must parse or be refused without reading out of bounds,
// and every part it returns must lie inside the body.

#include "VelMultipartParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // First line: the Content-Type header value; the rest: the body.
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype newline = input.indexOf('\n');
    const QByteArray contentType = newline < 0 ? QByteArray("multipart/form-data; boundary=b") : input.left(newline);
    const QByteArray body = newline < 0 ? input : input.mid(newline + 1);

    VelMultipartParser parser;
    const bool ok = parser.parse(body, VelMultipartParser::boundaryFromContentType(contentType), 1 << 20);
    if (!ok && !parser.parts().isEmpty())
        std::abort();  // a refused body must not leave parts behind
    if (ok && parser.errorString().size() != 0)
        std::abort();
    qsizetype total = 0;
    for (const VelMultipartPart &part : parser.parts()) {
        total += part.data.size();
        if (part.name.isEmpty() || !body.contains(part.data))
            std::abort();
    }
    if (total > body.size() || parser.parts().size() > VelMultipartParser::kMaxParts)
        std::abort();
    return 0;
}
