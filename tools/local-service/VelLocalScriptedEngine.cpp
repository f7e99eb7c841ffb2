#include "VelLocalScriptedEngine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool parseJson(const QByteArray &text, QList<VelLocalScriptedEngine::Step> *steps, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *error = QStringLiteral("the script is not a JSON object: %1").arg(parseError.errorString());
        return false;
    }
    const QJsonValue list = document.object().value(QStringLiteral("steps"));
    if (!list.isArray()) {
        *error = QStringLiteral("the script has no \"steps\" array");
        return false;
    }
    for (const QJsonValue &value : list.toArray()) {
        if (!value.isObject()) {
            *error = QStringLiteral("every step must be an object");
            return false;
        }
        const QJsonObject object = value.toObject();
        VelLocalScriptedEngine::Step step;
        const QJsonValue after = object.value(QStringLiteral("after"));
        if (after.isString() && after.toString() == QLatin1String("end")) {
            step.atEnd = true;
        } else if (after.isDouble() && after.toInt(-1) >= 0) {
            step.after = after.toInt();
        } else if (!after.isUndefined()) {
            *error = QStringLiteral("\"after\" must be a chunk count or \"end\"");
            return false;
        }
        step.pgs = object.value(QStringLiteral("pgs")).toString();
        step.text = object.value(QStringLiteral("text")).toString();
        step.code = object.value(QStringLiteral("code")).toVariant().toInt();
        step.desc = object.value(QStringLiteral("desc")).toString();
        step.drop = object.value(QStringLiteral("drop")).toBool();
        step.close = object.value(QStringLiteral("close")).toBool();
        step.finish = object.value(QStringLiteral("finish")).toBool();
        step.delayMs = std::clamp(object.value(QStringLiteral("delayMs")).toInt(), 0, 60000);
        const bool isResult = !step.pgs.isEmpty() || step.finish;
        if (!isResult && step.code == 0 && !step.drop && !step.close) {
            *error = QStringLiteral("a step needs \"pgs\", \"code\", \"drop\", \"close\" or \"finish\"");
            return false;
        }
        steps->append(step);
    }
    return true;
}

bool parseLines(const QString &text, QList<VelLocalScriptedEngine::Step> *steps, QString *error)
{
    int pendingDelay = 0;
    int lineNumber = 0;
    for (const QString &rawLine : text.split(u'\n')) {
        ++lineNumber;
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QString when = line.section(u' ', 0, 0);
        const QString what = line.section(u' ', 1, 1, QString::SectionSkipEmpty);
        const QString rest = line.section(u' ', 2, -1, QString::SectionSkipEmpty);
        auto fail = [&](const QString &why) {
            *error = QStringLiteral("script line %1: %2").arg(lineNumber).arg(why);
            return false;
        };
        if (when == QLatin1String("delay")) {
            bool ok = false;
            pendingDelay = what.toInt(&ok);
            if (!ok || pendingDelay < 0)
                return fail(QStringLiteral("\"delay\" needs milliseconds"));
            continue;
        }
        VelLocalScriptedEngine::Step step;
        if (when == QLatin1String("end")) {
            step.atEnd = true;
        } else {
            bool ok = false;
            step.after = when.toInt(&ok);
            if (!ok || step.after < 0)
                return fail(QStringLiteral("a line starts with a chunk count or \"end\""));
        }
        if (what == QLatin1String("rpl") || what == QLatin1String("apd")) {
            step.pgs = what;
            step.text = rest;
        } else if (what == QLatin1String("error")) {
            bool ok = false;
            step.code = rest.section(u' ', 0, 0).toInt(&ok);
            step.desc = rest.section(u' ', 1);
            if (!ok || step.code == 0)
                return fail(QStringLiteral("\"error\" needs a non-zero code"));
        } else if (what == QLatin1String("drop")) {
            step.drop = true;
        } else if (what == QLatin1String("close")) {
            step.close = true;
        } else {
            return fail(QStringLiteral("expected rpl, apd, error, drop or close"));
        }
        step.delayMs = std::min(pendingDelay, 60000);
        pendingDelay = 0;
        steps->append(step);
    }
    return true;
}

}  // namespace

bool VelLocalScriptedEngine::parse(const QString &script, QList<Step> *steps, QString *error)
{
    steps->clear();
    const QString trimmed = script.trimmed();
    if (trimmed.startsWith(u'{'))
        return parseJson(trimmed.toUtf8(), steps, error);
    return parseLines(trimmed, steps, error);
}

VelLocalScriptedEngine::VelLocalScriptedEngine(QList<Step> steps, QObject *parent)
    : VelLocalSpeechEngine(parent)
    , m_steps(std::move(steps))
{
}

void VelLocalScriptedEngine::start()
{
    release();
}

void VelLocalScriptedEngine::feedAudio(const QByteArray &)
{
    ++m_chunks;
    release();
}

void VelLocalScriptedEngine::endOfAudio()
{
    if (m_ended)
        return;
    m_ended = true;
    release();
}

void VelLocalScriptedEngine::release()
{
    while (m_next < m_steps.size()) {
        const Step &step = m_steps.at(m_next);
        const bool due = step.atEnd ? m_ended : (m_ended || m_chunks >= step.after);
        if (!due)
            break;
        m_finishSent = m_finishSent || step.finish;
        m_due.append(step);
        ++m_next;
    }
    if (m_ended && m_next == m_steps.size() && !m_finishSent) {
        // The session's end: a final message that changes no text.
        Step finalStep;
        finalStep.finish = true;
        m_due.append(finalStep);
        m_finishSent = true;
    }
    pump();
}

void VelLocalScriptedEngine::pump()
{
    while (!m_pumping && !m_due.isEmpty()) {
        const Step step = m_due.takeFirst();
        if (step.delayMs > 0) {
            m_pumping = true;
            QTimer::singleShot(step.delayMs, this, [this, step] {
                m_pumping = false;
                send(step);
                pump();
            });
            return;
        }
        send(step);
    }
}

void VelLocalScriptedEngine::send(const Step &step)
{
    if (step.drop)
        emit dropConnection();
    else if (step.close)
        emit closeConnection();
    else if (step.code != 0)
        emit failure(step.code, step.desc.isEmpty() ? QStringLiteral("injected error") : step.desc, false);
    else
        emit result(step.pgs, step.text, step.finish);
}
