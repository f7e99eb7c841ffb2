#include "VelLocalSharePage.h"

#include "VelLocalRecordStore.h"

namespace {

QByteArray page(const QString &title, const QString &bodyHtml)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                          "<title>%1</title>\n<style>body{font-family:sans-serif;margin:1.5em;max-width:40em}"
                          "p{white-space:pre-wrap}audio{width:100%}</style>\n</head>\n<body>\n%2</body>\n</html>\n")
        .arg(VelLocalHttp::htmlEscaped(title), bodyHtml)
        .toUtf8();
}

}  // namespace

VelLocalSharePage::VelLocalSharePage(const VelLocalRecordStore *records)
    : m_records(records)
{
}

VelLocalReply VelLocalSharePage::notFoundPage(const QString &message)
{
    return VelLocalReply::text(
        page(QStringLiteral("404"), QStringLiteral("<h1>404</h1>\n<p>%1</p>\n").arg(VelLocalHttp::htmlEscaped(message))),
        "text/html;charset=utf-8", 404);
}

VelLocalReply VelLocalSharePage::handle(const VelLocalRequest &request) const
{
    const QString code = request.queryValue(QStringLiteral("code"));
    const std::optional<QJsonObject> record = code.isEmpty() ? std::nullopt : m_records->recordForShareCode(code);
    if (!record)
        return notFoundPage(QStringLiteral("这个分享码不存在或录音已被删除。"));

    const QString title = record->value(QStringLiteral("recordTitle")).toString();
    QString html = QStringLiteral("<h1>%1</h1>\n").arg(VelLocalHttp::htmlEscaped(title));
    const QString audio = record->value(QStringLiteral("attr1")).toString();
    // Only web addresses become the player's source; anything else could be a script URL.
    if (audio.startsWith(QLatin1String("http://")) || audio.startsWith(QLatin1String("https://")))
        html += QStringLiteral("<audio controls preload=\"none\" src=\"%1\"></audio>\n")
                    .arg(VelLocalHttp::htmlEscaped(audio));
    html += QStringLiteral("<h2>内容</h2>\n<p id=\"content\">%1</p>\n")
                .arg(VelLocalHttp::htmlEscaped(record->value(QStringLiteral("content")).toString()));
    const QString translated = record->value(QStringLiteral("translatedText")).toString();
    if (!translated.isEmpty())
        html += QStringLiteral("<h2>翻译</h2>\n<p id=\"translation\">%1</p>\n").arg(VelLocalHttp::htmlEscaped(translated));
    return VelLocalReply::text(page(title, html), "text/html;charset=utf-8");
}
