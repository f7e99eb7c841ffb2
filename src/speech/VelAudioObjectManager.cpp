#include "VelAudioObjectManager.h"

#include "app/VelSanboxFileManager.h"
#include "speech/VelWavFile.h"
#include "util/VelLog.h"
#include "util/VelTextHelpers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

#include <climits>
#include <cmath>
#include <cstdio>

VelAudioObjectManager &VelAudioObjectManager::sharedManager()
{
    static VelAudioObjectManager *manager = new VelAudioObjectManager;
    return *manager;
}

VelAudioObjectManager::VelAudioObjectManager() = default;

void VelAudioObjectManager::beginRecordWithRecordorZhiMu(const QString &kind)
{
    velLog(QStringLiteral("****** 音频文件写入开始 ******"));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    QString mac = VelTextHelpers::vel_getMacAddress().remove(QLatin1Char(':')).toUpper();
    if (mac.isEmpty())
        mac = QStringLiteral("(null)"); // how the name has always looked without a hardware address

    auto &files = VelSanboxFileManager::sharedManager();
    const QString name = QStringLiteral("%1 %2 %3.wav").arg(mac, stamp, kind);
    const QString path = files.getAFilePathBasedOnAFileName(name);
    repairUnfinishedRecordings(files.getDocumentPath());

    std::unique_ptr<QFile> handle = files.createFileHandleWithPath(path, false);
    // Room for the header in front of the samples; its sizes are filled in at the end.
    if (handle && handle->write(VelWavFile::header(0)) != VelWavFile::kHeaderSize)
        handle.reset();

    QMutexLocker lock(&m_mutex);
    m_createTime = stamp;
    m_fileName = name;
    m_recordTitle = QStringLiteral("%1 %2").arg(stamp, kind);
    m_filePath = path;
    m_fileHandler = std::move(handle);
    m_writeFailed = false;
    velLog(path);
}

void VelAudioObjectManager::writePcmData(const QByteArray &pcm)
{
    QMutexLocker lock(&m_mutex);
    if (!m_fileHandler || pcm.isEmpty())
        return;
    if (m_fileHandler->write(pcm) != pcm.size() || !m_fileHandler->flush()) {
        // Disk full or the folder gone: keep the session going without the file.
        if (!m_writeFailed)
            velLog(QStringLiteral("录音文件写入失败，停止写入：%1").arg(m_fileHandler->errorString()));
        m_writeFailed = true;
        m_fileHandler.reset();
    }
}

void VelAudioObjectManager::endRecord()
{
    velLog(QStringLiteral("****** 音频文件写入完成 ******"));
    QString path;
    {
        QMutexLocker lock(&m_mutex);
        m_fileHandler.reset();
        path = m_filePath;
    }
    if (path.isEmpty() || !QFile::exists(path)) {
        velLog(QStringLiteral("录音存储文件不存在"));
        return;
    }
    VelWavFile::patchSizes(path);
    velLog(QStringLiteral("--- 为pcm文件写入wav头 ---"));
}

int VelAudioObjectManager::repairUnfinishedRecordings(const QString &folder)
{
    if (folder.isEmpty())
        return 0;
    // Only our own recordings: "<MAC> <14 digits> <kind>.wav".
    static const QRegularExpression ours(QStringLiteral("^\\S+ \\d{14} .+\\.wav$"));
    int repaired = 0;
    const auto entries = QDir(folder).entryInfoList({QStringLiteral("*.wav")}, QDir::Files);
    for (const QFileInfo &entry : entries) {
        if (!ours.match(entry.fileName()).hasMatch())
            continue;
        const auto info = VelWavFile::parseFile(entry.absoluteFilePath());
        if (!info || info->dataOffset != VelWavFile::kHeaderSize)
            continue;
        if (qint64(info->dataSize) == entry.size() - VelWavFile::kHeaderSize)
            continue;
        if (VelWavFile::patchSizes(entry.absoluteFilePath())) {
            velLog(QStringLiteral("修复未完成的录音文件：%1").arg(entry.fileName()));
            ++repaired;
        }
    }
    return repaired;
}

QString VelAudioObjectManager::getAudioDurationWithFilePath(const QString &path) const
{
    const auto info = VelWavFile::parseFile(path);
    if (!info || info->format.byteRate() == 0)
        return QStringLiteral("0");
    qint64 bytes = info->dataSize;
    const qint64 onDisk = QFileInfo(path).size() - info->dataOffset;
    if (bytes == 0 || bytes > onDisk) // unfinished header or a file cut short
        bytes = std::max<qint64>(onDisk, 0);
    // C's "%.f": rounded to the nearest, halves to even.
    char text[32];
    std::snprintf(text, sizeof text, "%.f", double(bytes) / info->format.byteRate());
    return QString::fromLatin1(text);
}

VelAudioObjectManager::RecorderSettings VelAudioObjectManager::GetAudioRecorderSettingDictWithChannelNum(int channels)
{
    RecorderSettings settings;
    settings.numberOfChannels = channels;
    return settings;
}

int32_t VelAudioObjectManager::levelOf(const QByteArray &pcm)
{
    const qsizetype samples = pcm.size() / 2;
    qint64 sum = 0;
    for (qsizetype i = 0; i < samples; ++i) {
        const qint64 sample = qFromLittleEndian<qint16>(pcm.constData() + 2 * i);
        sum += sample * sample;
    }
    if (sum == 0 || pcm.isEmpty())
        return INT32_MIN; // silence, or not one whole sample: the lowest level
    const double level = std::trunc(10.0 * std::log10(double(sum) / double(pcm.size())));
    return int32_t(std::clamp(level, double(INT32_MIN), double(INT32_MAX)));
}

int32_t VelAudioObjectManager::isQuite(const std::optional<QByteArray> &pcm)
{
    if (!pcm)
        return 0;
    const int32_t level = levelOf(*pcm);
    if (auto target = delegate())
        target->getAudioDecibelValue(level);
    return level;
}

void VelAudioObjectManager::endAudioLevelCheck()
{
    if (auto target = delegate())
        target->hideMicrophoneLevel();
}

void VelAudioObjectManager::setDelegate(std::weak_ptr<VelAudioObjectManagerDelegate> delegate)
{
    QMutexLocker lock(&m_delegateMutex);
    m_delegate = std::move(delegate);
}

std::shared_ptr<VelAudioObjectManagerDelegate> VelAudioObjectManager::delegate() const
{
    QMutexLocker lock(&m_delegateMutex);
    return m_delegate.lock();
}

QString VelAudioObjectManager::createTime() const
{
    QMutexLocker lock(&m_mutex);
    return m_createTime;
}

QString VelAudioObjectManager::fileName() const
{
    QMutexLocker lock(&m_mutex);
    return m_fileName;
}

QString VelAudioObjectManager::recordTitle() const
{
    QMutexLocker lock(&m_mutex);
    return m_recordTitle;
}

QString VelAudioObjectManager::audioFilePath() const
{
    return filePath();
}

QString VelAudioObjectManager::filePath() const
{
    QMutexLocker lock(&m_mutex);
    return m_filePath;
}

bool VelAudioObjectManager::isRecordingOpen() const
{
    QMutexLocker lock(&m_mutex);
    return m_fileHandler != nullptr;
}
