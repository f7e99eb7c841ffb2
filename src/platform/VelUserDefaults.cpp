#include "VelUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
           + QStringLiteral("/defaults.ini");
}

// The file is created 0600 before QSettings ever writes it; QSettings keeps the
// permissions of an existing file when it saves.
void ensurePrivateFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

VelUserDefaults &VelUserDefaults::standardUserDefaults()
{
    static VelUserDefaults *defaults = new VelUserDefaults;
    return *defaults;
}

VelUserDefaults::VelUserDefaults()
{
    open(defaultPath());
}

VelUserDefaults::~VelUserDefaults() = default;

void VelUserDefaults::open(const QString &path)
{
    if (m_settings)
        m_settings->sync();
    m_path = path;
    ensurePrivateFile(m_path);
    m_settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
}

QString VelUserDefaults::filePath() const
{
    return m_path;
}

bool VelUserDefaults::contains(const QString &key) const
{
    return m_settings->contains(key);
}

QVariant VelUserDefaults::objectForKey(const QString &key) const
{
    return m_settings->value(key);
}

QString VelUserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = m_settings->value(key);
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray)
        return QString();
    return value.toString();
}

qint64 VelUserDefaults::integerValueOfText(const QString &text)
{
    static const QRegularExpression leadingInteger(QStringLiteral("^\\s*([+-]?\\d+)"));
    const auto match = leadingInteger.match(text);
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const qint64 value = match.captured(1).toLongLong(&ok);
    if (ok)
        return value;
    // Out of range: clamp the way the platform does.
    return match.captured(1).startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                                          : std::numeric_limits<qint64>::max();
}

qint64 VelUserDefaults::integerForKey(const QString &key) const
{
    const QVariant value = m_settings->value(key);
    if (!value.isValid())
        return 0;
    // INI stores every scalar as text; read it as the platform reads a number
    // or a numeric string.
    return integerValueOfText(value.toString());
}

bool VelUserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = m_settings->value(key);
    if (!value.isValid())
        return false;
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("yes"))
        return true;
    return integerValueOfText(text) != 0;
}

QByteArray VelUserDefaults::dataForKey(const QString &key) const
{
    const QVariant value = m_settings->value(key);
    if (value.typeId() != QMetaType::QByteArray)
        return QByteArray();
    return value.toByteArray();
}

void VelUserDefaults::setObject(const QVariant &value, const QString &key)
{
    if (!value.isValid()) {
        removeObjectForKey(key);
        return;
    }
    m_settings->setValue(key, value);
    emit didWrite(key);
}

void VelUserDefaults::removeObjectForKey(const QString &key)
{
    m_settings->remove(key);
    emit didWrite(key);
}

bool VelUserDefaults::synchronize()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

void VelUserDefaults::reloadForTesting(const QString &path)
{
    m_settings.reset();
    open(path.isEmpty() ? (m_path.isEmpty() ? defaultPath() : m_path) : path);
}
