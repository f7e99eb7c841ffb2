// The object-storage client: request signing, the public address of an
// object, and uploads on the "uploadvoice" pool (against a canned server).
#include "CloudTestSupport.h"

#include "cloud/VelaliyunOSSUtil.h"
#include "util/VelMainThread.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <atomic>
#include <numeric>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

struct UploadResult {
    QMutex mutex;
    std::atomic<bool> done{false};
    bool success = false;
    QString text;
    QString threadName;
    bool onMainThread = true;
};

} // namespace

class tst_VelaliyunOSSUtil : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        pointServicesAt(m_server);
        VelaliyunOSSUtil::sharedVelaliyunOSSUtil().init_config();
    }
    void init()
    {
        m_server.requests.clear();
        m_server.replies.clear();
    }

    void signatureMatchesPublishedExample()
    {
        // The worked example of the store's version-1 header signature.
        const QByteArray toSign = VelOSSClient::stringToSign(
            QStringLiteral("PUT"), QStringLiteral("ODBGOERFMDMzQTczRUY3NUE3NzA5QzdFNUYzMDQxNEM="),
            QStringLiteral("text/html"), QStringLiteral("Thu, 17 Nov 2005 18:49:58 GMT"),
            {{QStringLiteral("X-OSS-Meta-Author"), QStringLiteral("foo@bar.com")},
             {QStringLiteral("X-OSS-Magic"), QStringLiteral("abracadabra")},
             {QStringLiteral("Content-Language"), QStringLiteral("en")}},
            QStringLiteral("/oss-example/nelson"));
        QCOMPARE(VelOSSClient::authorization(QStringLiteral("44CF9590006BF252F707"),
                                             QStringLiteral("OtxrzxIsfpFjA7SwPzILwy8Bw21TLhquhboDYROV"), toSign),
                 QStringLiteral("OSS 44CF9590006BF252F707:26NBxoKdsyly4EDv6inkoDft/yA="));
    }

    void uploadStoresTheFileUnderItsName()
    {
        QTemporaryDir dir;
        const QString fileName = QStringLiteral("会议 记录 #1.wav");
        QByteArray bytes(300 * 1024, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 % 251);
        QFile file(dir.filePath(fileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        UploadResult result;
        VelaliyunOSSUtil::sharedVelaliyunOSSUtil().uploadRecordWavFileWithFileName(
            fileName, file.fileName(), [&result](bool success, const QString &text) {
                QMutexLocker lock(&result.mutex);
                result.success = success;
                result.text = text;
                result.threadName = QThread::currentThread()->objectName();
                result.onMainThread = VelMainThread::isMainThread();
                result.done = true;
            });
        QTRY_VERIFY_WITH_TIMEOUT(result.done.load(), 10000);

        const QString port = QString::number(m_server.serverPort());
        QVERIFY2(result.success, qPrintable(result.text));
        QCOMPARE(result.text, QStringLiteral("http://travikoffice.oss-test.localhost:%1/"
                                             "%E4%BC%9A%E8%AE%AE%20%E8%AE%B0%E5%BD%95%20%231.wav")
                                  .arg(port));
        QVERIFY(!result.onMainThread);
        QCOMPARE(result.threadName, QStringLiteral("uploadvoice"));

        const RecordedRequest put = m_server.requests.first();
        QCOMPARE(put.method, QByteArray("PUT"));
        QCOMPARE(QUrl::fromPercentEncoding(put.path()), QStringLiteral("/") + fileName);
        QCOMPARE(put.headers.value("host"), "travikoffice.oss-test.localhost:" + port.toLatin1());
        QCOMPARE(put.body, bytes);
        QCOMPARE(put.headers.value("content-md5"), QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toBase64());
        // Signed over what was actually sent, with the configured key pair.
        const auto &config = VelServiceConfig::current();
        const QByteArray toSign = VelOSSClient::stringToSign(
            QStringLiteral("PUT"), QString::fromLatin1(put.headers.value("content-md5")),
            QString::fromLatin1(put.headers.value("content-type")), QString::fromLatin1(put.headers.value("date")), {},
            QStringLiteral("/travikoffice/") + fileName);
        QCOMPARE(QString::fromLatin1(put.headers.value("authorization")),
                 VelOSSClient::authorization(config.ossAccessKeyId, config.ossAccessKeySecret, toSign));
    }

    void putReportsProgress()
    {
        const QByteArray bytes(2 * 1024 * 1024, 'a');
        QList<qint64> steps;
        qint64 lastSent = 0;
        qint64 expected = 0;
        const VelOSSClient &client = VelaliyunOSSUtil::sharedVelaliyunOSSUtil().client();
        const auto error = client.putObject(QStringLiteral("travikoffice"), QStringLiteral("big.wav"), bytes,
                                            [&](qint64 step, qint64 sent, qint64 total) {
                                                steps << step;
                                                lastSent = sent;
                                                expected = total;
                                            });
        QVERIFY(!error);
        QVERIFY(!steps.isEmpty());
        QCOMPARE(expected, bytes.size());
        QCOMPARE(lastSent, bytes.size());
        QCOMPARE(std::accumulate(steps.cbegin(), steps.cend(), qint64(0)), qint64(bytes.size()));
    }

    void refusalsAreReportedAsText_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("wrong key") << true << "SignatureDoesNotMatch";
        QTest::newRow("missing file") << false << "missing.wav";
    }

    void refusalsAreReportedAsText()
    {
        QFETCH(bool, fileExists);
        QFETCH(QString, expectedText);
        m_server.replies = {CannedReply{403, "application/xml",
                                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Error><Code>SignatureDoesNotMatch"
                                        "</Code><Message>The request signature we calculated does not match."
                                        "</Message></Error>",
                                        false}};
        QTemporaryDir dir;
        const QString path = dir.filePath(fileExists ? QStringLiteral("a.wav") : QStringLiteral("missing.wav"));
        if (fileExists) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("RIFF");
        }
        UploadResult result;
        VelaliyunOSSUtil::sharedVelaliyunOSSUtil().uploadRecordWavFileWithFileName(
            QFileInfo(path).fileName(), path, [&result](bool success, const QString &text) {
                QMutexLocker lock(&result.mutex);
                result.success = success;
                result.text = text;
                result.done = true;
            });
        QTRY_VERIFY_WITH_TIMEOUT(result.done.load(), 10000);
        QVERIFY(!result.success);
        QVERIFY2(result.text.contains(expectedText), qPrintable(result.text));
    }

private:
    CannedHttpServer m_server;
};

QTEST_GUILESS_MAIN(tst_VelaliyunOSSUtil)
#include "tst_VelaliyunOSSUtil.moc"
