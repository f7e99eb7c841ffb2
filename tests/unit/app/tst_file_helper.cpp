// The Documents-folder helper: paths, and files opened to truncate or append.

#include "app/VelSanboxFileManager.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestFileHelper : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void pathsAreInTheDocumentsFolder()
    {
        auto &files = VelSanboxFileManager::sharedManager();
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(files.getDocumentPath(), documents);
        QCOMPARE(files.getAFilePathBasedOnAFileName(QStringLiteral("a b.wav")), documents + "/a b.wav");
    }

    void truncateOrAppend_data()
    {
        QTest::addColumn<bool>("append");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("append NO removes the old content") << false << QByteArray("new");
        QTest::newRow("append YES writes at the end") << true << QByteArray("old contentnew");
    }

    void truncateOrAppend()
    {
        QFETCH(bool, append);
        QFETCH(QByteArray, expected);
        const QString path = m_dir.filePath(QStringLiteral("file-%1").arg(append));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old content");
        }
        auto handle = VelSanboxFileManager::sharedManager().createFileHandleWithPath(path, append);
        QVERIFY(handle);
        QCOMPARE(handle->write("new"), 3);
        handle.reset(); // releasing the handle closes it
        QCOMPARE(contents(path), expected);
    }

    void newFilesAndFailures()
    {
        auto &files = VelSanboxFileManager::sharedManager();
        const QString path = m_dir.filePath(QStringLiteral("created.bin"));
        auto handle = files.createFileHandleWithPath(path, false);
        QVERIFY(handle);
        handle.reset();
        QVERIFY(QFile::exists(path));
        QVERIFY(QFile::permissions(path).testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));

        QVERIFY(!files.createFileHandleWithPath(QString(), true));
        QVERIFY(!files.createFileHandleWithPath(m_dir.filePath("missing-folder/x.wav"), true));
    }
};

QTEST_GUILESS_MAIN(TestFileHelper)
#include "tst_file_helper.moc"
