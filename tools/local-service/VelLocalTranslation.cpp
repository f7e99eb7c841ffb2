#include "VelLocalTranslation.h"

#include "VelBuildConstants.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QRegularExpression>

namespace {

struct Phrase {
    const char16_t *zh;
    const char *en;
};

constexpr Phrase kPhrases[] = {
    {u"你好", "Hello"},
    {u"谢谢", "Thank you"},
    {u"再见", "Goodbye"},
    {u"早上好", "Good morning"},
    {u"晚上好", "Good evening"},
    {u"打开计算器", "Open the calculator"},
    {u"今天天气怎么样", "What's the weather like today"},
    {u"我爱你", "I love you"},
    {u"你好世界", "Hello world"},
    {u"开会", "Meeting"},
};

QString key(const QString &text)
{
    static const QRegularExpression trailing(QStringLiteral("[\\s\\p{P}]+$"));
    return text.trimmed().toLower().remove(trailing);
}

bool hasHan(const QString &text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Han)
            return true;
    }
    return false;
}

QJsonObject error(const char *code, const char *message)
{
    return QJsonObject{{QStringLiteral("error_code"), QString::fromLatin1(code)},
                       {QStringLiteral("error_msg"), QString::fromLatin1(message)}};
}

}  // namespace

VelLocalReply VelLocalTranslation::errorReply(int status, const QString &message)
{
    return VelLocalReply::json(QJsonObject{{QStringLiteral("error_code"), QString::number(status == 413 ? 54003 : 52001)},
                                           {QStringLiteral("error_msg"), message}},
                               status);
}

QString VelLocalTranslation::translateLine(const QString &line, const QString &from, const QString &to)
{
    const QString wanted = key(line);
    if (wanted.isEmpty())
        return line;
    for (const Phrase &phrase : kPhrases) {
        const QString zh = QString::fromUtf16(phrase.zh);
        const QString en = QString::fromLatin1(phrase.en);
        if (from == QLatin1String("zh") && to == QLatin1String("en") && key(zh) == wanted)
            return en;
        if (from == QLatin1String("en") && to == QLatin1String("zh") && key(en) == wanted)
            return zh;
    }
    if (from == to)
        return line;
    return untranslated(line);
}

VelLocalReply VelLocalTranslation::handle(const VelLocalRequest &request) const
{
    if (request.path != QLatin1String("/api/trans/vip/translate"))
        return errorReply(404, QStringLiteral("unknown path %1").arg(request.path));

    // The fields come as a form body (POST) or in the query (GET), as the real API takes both.
    const auto fields = request.method == "POST" ? VelLocalHttp::formFields(request.body)
                                                 : VelLocalHttp::formFields(request.rawQuery);
    auto field = [&fields](const char *name) { return VelLocalHttp::formValue(fields, QString::fromLatin1(name)); };
    const QString q = field("q");
    const QString from = field("from");
    const QString to = field("to");
    const QString appId = field("appid");
    const QString salt = field("salt");
    const QString sign = field("sign");

    if (q.isEmpty() || from.isEmpty() || to.isEmpty() || appId.isEmpty() || salt.isEmpty() || sign.isEmpty())
        return VelLocalReply::json(error("54000", "PARAM_FROM_TO_OR_Q_EMPTY"));
    if (appId != QLatin1String(VelBuild::kTranslateAppId))
        return VelLocalReply::json(error("52003", "UNAUTHORIZED USER"));
    const QByteArray expected =
        QCryptographicHash::hash((appId + q + salt + QLatin1String(VelBuild::kTranslateSecretKey)).toUtf8(),
                                 QCryptographicHash::Md5)
            .toHex();
    if (sign.toLatin1().toLower() != expected)
        return VelLocalReply::json(error("54001", "Invalid Sign"));

    const QString source = from == QLatin1String("auto") ? (hasHan(q) ? QStringLiteral("zh") : QStringLiteral("en")) : from;
    QJsonArray results;
    for (const QString &line : q.split(u'\n')) {
        results.append(QJsonObject{{QStringLiteral("src"), line},
                                   {QStringLiteral("dst"), translateLine(line, source, to)}});
    }
    return VelLocalReply::json(QJsonObject{{QStringLiteral("from"), source},
                                           {QStringLiteral("to"), to},
                                           {QStringLiteral("trans_result"), results}});
}
