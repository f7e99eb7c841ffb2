// travik-vazade-cloud: the quickest way to see the cloud path work. Each
// command goes through the same classes the app uses and prints the result.
//
//   travik-vazade-cloud translate TEXT [TO]    translation (source "auto", TO default "en")
//   travik-vazade-cloud semantic TEXT          spoken-command match
//   travik-vazade-cloud upload FILE            object-storage upload; prints the play URL
//   travik-vazade-cloud version                latest-version query

#include "VelBuildConstants.h"
#include "cloud/VelHttpRequestManager.h"
#include "cloud/VelNetLogMask.h"
#include "cloud/VelSemanticAnalysisScene.h"
#include "cloud/VelaliyunOSSUtil.h"
#include "util/VelLog.h"
#include "util/VelMainThread.h"
#include "util/VelServiceConfig.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

int usage()
{
    QTextStream(stderr) << "usage: travik-vazade-cloud translate TEXT [TO]\n"
                           "       travik-vazade-cloud semantic TEXT\n"
                           "       travik-vazade-cloud upload FILE\n"
                           "       travik-vazade-cloud version\n";
    return 2;
}

// Prints the outcome and ends the event loop with 0 on success, 1 otherwise.
void finish(bool success, const QString &text)
{
    VelMainThread::run([success, text] {
        QTextStream(success ? stdout : stderr) << (success ? "" : "error: ") << text << Qt::endl;
        QCoreApplication::exit(success ? 0 : 1);
    });
}

QString describe(const QVariant &value)
{
    if (velIsNetError(value)) {
        const auto error = value.value<VelNetError>();
        return QStringLiteral("%1 (code %2)").arg(error.domain).arg(error.code);
    }
    return VelNetLogMask::describe(value);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    VelLog::setUseStandardError(true); // standard output carries the result alone
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    auto &manager = VelHttpRequestManager::sharedVelHttpRequestManager();

    if (command == QLatin1String("translate") && (args.size() == 2 || args.size() == 3)) {
        const QString to = args.size() == 3 ? args[2] : QStringLiteral("en");
        manager.httpBaiduTranslateRequestWithQ(
            args[1], QStringLiteral("auto"), to,
            [](const QString &result) { finish(!result.startsWith(QLatin1String("Error: ")), result); },
            [](const VelNetError &error) { finish(false, describe(QVariant::fromValue(error))); });
    } else if (command == QLatin1String("semantic") && args.size() == 2) {
        auto scene = std::make_shared<VelSemanticAnalysisScene>();
        scene->setMyParameters({{QStringLiteral("question"), args[1]},
                                {QStringLiteral("engineid"), VelServiceConfig::current().semanticEngineId}});
        manager.httpRequestWithScene(scene, [](bool success, const QVariant &result) {
            finish(success, describe(result));
        });
    } else if (command == QLatin1String("upload") && args.size() == 2) {
        const QFileInfo file(args[1]);
        if (!file.isFile()) {
            QTextStream(stderr) << "error: no such file: " << args[1] << Qt::endl;
            return 1;
        }
        VelaliyunOSSUtil::sharedVelaliyunOSSUtil().uploadRecordWavFileWithFileName(
            file.fileName(), file.absoluteFilePath(), [](bool success, const QString &text) { finish(success, text); });
    } else if (command == QLatin1String("version") && args.size() == 1) {
        manager.httpGetNewVersion({{QStringLiteral("appid"), QStringLiteral("VuVudova-Travik-Dadaza")},
                                   {QStringLiteral("action"), QStringLiteral("checkVersion")},
                                   {QStringLiteral("appVersion"), QString::fromUtf8(VelBuild::kShortVersion)},
                                   {QStringLiteral("OS"), QStringLiteral("Mac")}},
                                  [](bool success, const QVariant &result) { finish(success, describe(result)); });
    } else {
        return usage();
    }
    return app.exec();
}
