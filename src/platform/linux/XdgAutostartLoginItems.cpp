#include "XdgAutostartLoginItems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

std::unique_ptr<LoginItems> LoginItems::create()
{
    return std::make_unique<XdgAutostartLoginItems>();
}

XdgAutostartLoginItems::XdgAutostartLoginItems(const QString &autostartDir)
    : m_dir(autostartDir)
{
}

QString XdgAutostartLoginItems::autostartDir() const
{
    if (!m_dir.isEmpty())
        return m_dir;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

namespace {

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}

// Unquotes the first argument of an Exec= value (desktop entry rules: double
// quotes with backslash escapes).
QString firstExecWord(const QString &exec)
{
    QString word;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                word += exec.at(++i);
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c.isSpace()) {
            if (!word.isEmpty())
                break;
        } else {
            word += c;
        }
    }
    return word;
}

QString quoteExecWord(const QString &word)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : word) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

} // namespace

QString XdgAutostartLoginItems::programOfEntry(const QString &entryPath)
{
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (inMainGroup && line.startsWith(QLatin1String("Exec=")))
            return firstExecWord(line.mid(5));
    }
    return QString();
}

QStringList XdgAutostartLoginItems::entriesFor(const QString &programPath) const
{
    const QString wanted = canonical(programPath);
    QStringList matches;
    const QDir dir(autostartDir());
    const auto entries = dir.entryInfoList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString program = programOfEntry(entry.absoluteFilePath());
        if (!program.isEmpty() && canonical(program) == wanted)
            matches << entry.absoluteFilePath();
    }
    return matches;
}

bool XdgAutostartLoginItems::contains(const QString &programPath) const
{
    return !entriesFor(programPath).isEmpty();
}

bool XdgAutostartLoginItems::insert(const QString &programPath)
{
    const QString dirPath = autostartDir();
    if (!QDir().mkpath(dirPath))
        return false;
    // Never overwrite somebody else's entry that happens to share our name.
    QString path = dirPath + QStringLiteral("/travik-vazade.desktop");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dirPath + QStringLiteral("/travik-vazade-%1.desktop").arg(n);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=Travik Vazade\n"
        << "Exec=" << quoteExecWord(canonical(programPath)) << "\n"
        << "Icon=travik-vazade\n"
        << "X-GNOME-Autostart-enabled=true\n"
        << "NoDisplay=false\n";
    out.flush();
    return file.commit();
}

bool XdgAutostartLoginItems::remove(const QString &programPath)
{
    bool lastRemoval = false;
    for (const QString &entry : entriesFor(programPath))
        lastRemoval = QFile::remove(entry);
    return lastRemoval;
}
