#include "VelLocalSemantic.h"

#include "VelBuildConstants.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace {

struct Command {
    const char *intent;
    QStringList phrases;  // compared after normalising (lower case, no punctuation or spaces)
    const char *value;    // what the app opens
};

const QList<Command> &commands()
{
    static const QList<Command> table{
        {"calculator", {QStringLiteral("打开计算器"), QStringLiteral("计算器"), QStringLiteral("openthecalculator"),
                        QStringLiteral("opencalculator"), QStringLiteral("calculator")},
         "https://www.bing.com/search?q=calculator"},
        {"weather", {QStringLiteral("天气"), QStringLiteral("今天天气"), QStringLiteral("今天天气怎么样"),
                     QStringLiteral("查看天气"), QStringLiteral("weather"), QStringLiteral("showtheweather"),
                     QStringLiteral("whatstheweather"), QStringLiteral("whatstheweatherliketoday")},
         "https://www.bing.com/search?q=weather"},
        {"map", {QStringLiteral("打开地图"), QStringLiteral("地图"), QStringLiteral("openthemap"), QStringLiteral("openmaps")},
         "https://www.openstreetmap.org"},
        {"news", {QStringLiteral("看新闻"), QStringLiteral("打开新闻"), QStringLiteral("news"), QStringLiteral("openthenews")},
         "https://news.bing.com"},
    };
    return table;
}

QString normalised(const QString &question)
{
    static const QRegularExpression noise(QStringLiteral("[\\s\\p{P}]+"));
    return question.toLower().remove(noise);
}

}  // namespace

VelLocalReply VelLocalSemantic::errorReply(int status, const QString &message)
{
    VelLocalReply reply = VelLocalReply::json(
        QJsonObject{{QStringLiteral("rc"), 1}, {QStringLiteral("msg"), message}, {QStringLiteral("semantic"), QJsonArray()}},
        status);
    return reply;
}

VelLocalReply VelLocalSemantic::handle(const VelLocalRequest &request) const
{
    if (request.path != QLatin1String("/dbzy/saapi"))
        return errorReply(404, QStringLiteral("unknown path %1").arg(request.path));
    if (request.queryValue(QStringLiteral("engineid")) != QLatin1String(VelBuild::kSemanticEngineId))
        return VelLocalReply::json(QJsonObject{{QStringLiteral("rc"), 3},
                                               {QStringLiteral("msg"), QStringLiteral("engineid 无效")},
                                               {QStringLiteral("semantic"), QJsonArray()}});
    const QString question = request.queryValue(QStringLiteral("question"));
    if (question.trimmed().isEmpty())
        return VelLocalReply::json(QJsonObject{{QStringLiteral("rc"), 2},
                                               {QStringLiteral("msg"), QStringLiteral("question 为空")},
                                               {QStringLiteral("semantic"), QJsonArray()}});

    const QString key = normalised(question);
    QJsonArray semantic;
    for (const Command &command : commands()) {
        if (command.phrases.contains(key)) {
            semantic.append(QJsonObject{
                {QStringLiteral("intent"), QString::fromLatin1(command.intent)},
                {QStringLiteral("pars"), QJsonArray{QJsonObject{{QStringLiteral("value"), QString::fromLatin1(command.value)}}}}});
            break;
        }
    }
    return VelLocalReply::json(QJsonObject{{QStringLiteral("rc"), 0},
                                           {QStringLiteral("msg"), QStringLiteral("success")},
                                           {QStringLiteral("semantic"), semantic}});
}
