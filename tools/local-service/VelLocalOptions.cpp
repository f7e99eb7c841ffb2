#include "VelLocalOptions.h"

#include "VelBuildConstants.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

namespace {

quint16 portOf(const char *url)
{
    return quint16(QUrl(QString::fromLatin1(url)).port(0));
}

bool portValue(const QString &text, quint16 *port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || value > 65535)
        return false;
    *port = quint16(value);
    return true;
}

bool flagValue(const QString &text, bool *flag)
{
    if (text == QLatin1String("1") || text == QLatin1String("true") || text == QLatin1String("yes")) {
        *flag = true;
        return true;
    }
    if (text == QLatin1String("0") || text == QLatin1String("false") || text == QLatin1String("no")) {
        *flag = false;
        return true;
    }
    return false;
}

}  // namespace

bool VelLocalOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stands in for the maker's cloud on loopback: service API, share page, review feed, semantic service, "
        "update service, translation API, object storage and the speech WebSocket."));
    parser.addHelpOption();
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Data folder (SQLite file, objects, feedback)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption portBase(QStringLiteral("port-base"),
                                      QStringLiteral("Ports N (service API) to N+5 (speech), in the default order."),
                                      QStringLiteral("N"));
    const QCommandLineOption free(QStringLiteral("ports-from-free"),
                                  QStringLiteral("Let the system pick free ports; they are written to <data>/ports.json."));
    const QCommandLineOption api(QStringLiteral("api-port"), QStringLiteral("Service API port."), QStringLiteral("PORT"));
    const QCommandLineOption semantic(QStringLiteral("semantic-port"), QStringLiteral("Semantic service port."), QStringLiteral("PORT"));
    const QCommandLineOption update(QStringLiteral("update-port"), QStringLiteral("Update service port."), QStringLiteral("PORT"));
    const QCommandLineOption translate(QStringLiteral("translate-port"), QStringLiteral("Translation API port."), QStringLiteral("PORT"));
    const QCommandLineOption oss(QStringLiteral("oss-port"), QStringLiteral("Object storage port."), QStringLiteral("PORT"));
    const QCommandLineOption speech(QStringLiteral("speech-port"), QStringLiteral("Speech WebSocket port."), QStringLiteral("PORT"));
    const QCommandLineOption maxBody(QStringLiteral("max-body-bytes"),
                                     QStringLiteral("Largest request body accepted (default 64 MiB)."), QStringLiteral("N"));
    const QCommandLineOption version(QStringLiteral("update-version"), QStringLiteral("Version the update service announces."), QStringLiteral("V"));
    const QCommandLineOption url(QStringLiteral("update-url"), QStringLiteral("Download address it announces."), QStringLiteral("URL"));
    const QCommandLineOption contents(QStringLiteral("update-contents"), QStringLiteral("Release notes it announces."), QStringLiteral("TEXT"));
    const QCommandLineOption mandatory(QStringLiteral("update-mandatory"), QStringLiteral("Whether the update is mandatory (0 or 1)."), QStringLiteral("0|1"));
    const QCommandLineOption review(QStringLiteral("under-review"), QStringLiteral("The review feed's flag (0 or 1)."), QStringLiteral("0|1"));
    const QCommandLineOption script(QStringLiteral("speech-script"),
                                    QStringLiteral("Transcript script (a file, or the script text) for every speech session."),
                                    QStringLiteral("FILE|TEXT"));
    parser.addOptions({data, portBase, free, api, semantic, update, translate, oss, speech, maxBody, version, url, contents,
                       mandatory, review, script});
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *error = parser.helpText();
        return false;
    }

    dataDir = parser.isSet(data) ? parser.value(data)
                                 : QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).absolutePath();

    apiPort = portOf(VelBuild::kServiceApiBaseUrl);
    semanticPort = portOf(VelBuild::kSemanticBaseUrl);
    updatePort = portOf(VelBuild::kUpdateBaseUrl);
    translatePort = portOf(VelBuild::kTranslateBaseUrl);
    ossPort = portOf(VelBuild::kOssEndpoint);
    speechPort = portOf(VelBuild::kSpeechWebSocketUrl);
    if (parser.isSet(portBase)) {
        quint16 base = 0;
        if (!portValue(parser.value(portBase), &base) || base > 65530) {
            *error = QStringLiteral("--port-base needs a port number up to 65530");
            return false;
        }
        apiPort = base;
        semanticPort = base + 1;
        updatePort = base + 2;
        translatePort = base + 3;
        ossPort = base + 4;
        speechPort = base + 5;
    }
    const QList<std::pair<const QCommandLineOption *, quint16 *>> ports{
        {&api, &apiPort}, {&semantic, &semanticPort}, {&update, &updatePort},
        {&translate, &translatePort}, {&oss, &ossPort}, {&speech, &speechPort}};
    for (const auto &[option, port] : ports) {
        if (parser.isSet(*option) && !portValue(parser.value(*option), port)) {
            *error = QStringLiteral("--%1 needs a port number").arg(option->names().first());
            return false;
        }
    }
    portsFromFree = parser.isSet(free);

    if (parser.isSet(maxBody)) {
        bool ok = false;
        maxBodyBytes = parser.value(maxBody).toLongLong(&ok);
        if (!ok || maxBodyBytes < 1024) {
            *error = QStringLiteral("--max-body-bytes needs a number of at least 1024");
            return false;
        }
    }
    if (parser.isSet(version))
        updateVersion = parser.value(version);
    if (parser.isSet(url))
        updateUrl = parser.value(url);
    if (parser.isSet(contents))
        updateContents = parser.value(contents);
    for (const auto &[option, target] : {std::pair{&mandatory, &updateMandatory}, std::pair{&review, &underReview}}) {
        if (!parser.isSet(*option))
            continue;
        bool flag = false;
        if (!flagValue(parser.value(*option), &flag)) {
            *error = QStringLiteral("--%1 takes 0 or 1").arg(option->names().first());
            return false;
        }
        *target = flag;
    }
    if (parser.isSet(script)) {
        const QString value = parser.value(script);
        QFile file(value);
        if (QFile::exists(value)) {
            if (!file.open(QIODevice::ReadOnly)) {
                *error = QStringLiteral("cannot read the speech script %1").arg(value);
                return false;
            }
            speechScript = QString::fromUtf8(file.readAll());
        } else {
            speechScript = value;
        }
    }
    return true;
}
