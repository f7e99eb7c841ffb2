#include "VelLocalSphinxDecoder.h"

#include <QDir>
#include <QFile>

#include <pocketsphinx.h>

QString VelLocalSphinxDecoder::modelDir()
{
    return QStringLiteral("/usr/share/pocketsphinx/model/en-us");
}

VelLocalSphinxDecoder::~VelLocalSphinxDecoder()
{
    if (m_decoder)
        ps_free(m_decoder);
    if (m_config)
        cmd_ln_free_r(m_config);
}

bool VelLocalSphinxDecoder::open(QString *error)
{
    const QDir dir(modelDir());
    const QByteArray hmm = QFile::encodeName(dir.filePath(QStringLiteral("en-us")));
    const QByteArray lm = QFile::encodeName(dir.filePath(QStringLiteral("en-us.lm.bin")));
    const QByteArray dict = QFile::encodeName(dir.filePath(QStringLiteral("cmudict-en-us.dict")));
    if (!QFile::exists(QString::fromLocal8Bit(lm)) || !QFile::exists(QString::fromLocal8Bit(dict))) {
        *error = QStringLiteral("the English model is missing in %1 (install pocketsphinx-en-us)").arg(modelDir());
        return false;
    }
    m_config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-lm", lm.constData(), "-dict",
                           dict.constData(), "-logfn", "/dev/null", nullptr);
    if (!m_config) {
        *error = QStringLiteral("the recognizer configuration was refused");
        return false;
    }
    m_decoder = ps_init(m_config);
    if (!m_decoder) {
        *error = QStringLiteral("the recognizer could not load its model from %1").arg(modelDir());
        return false;
    }
    return true;
}

QString VelLocalSphinxDecoder::hypothesis() const
{
    int32 score = 0;
    const char *text = ps_get_hyp(m_decoder, &score);
    return text ? QString::fromUtf8(text).trimmed() : QString();
}

QList<VelLocalSphinxDecoder::Event> VelLocalSphinxDecoder::feed(const QByteArray &pcm)
{
    QList<Event> events;
    if (!m_decoder)
        return events;
    QByteArray samples = m_oddByte + pcm;
    m_oddByte.clear();
    if (samples.size() % 2) {
        m_oddByte = samples.right(1);
        samples.chop(1);
    }
    if (samples.isEmpty())
        return events;

    if (!m_inUtterance) {
        ps_start_utt(m_decoder);
        m_inUtterance = true;
    }
    ps_process_raw(m_decoder, reinterpret_cast<const int16 *>(samples.constData()), size_t(samples.size() / 2), FALSE,
                   FALSE);
    const QString partial = hypothesis();
    if (ps_get_in_speech(m_decoder)) {
        m_sawSpeech = true;
        if (partial != m_lastPartial && !partial.isEmpty())
            events.append({false, partial});
        m_lastPartial = partial;
    } else if (m_sawSpeech) {
        // Speech stopped: the pause closes the sentence.
        const QString sentence = finish();
        if (!sentence.isEmpty())
            events.append({true, sentence});
    }
    return events;
}

QString VelLocalSphinxDecoder::finish()
{
    if (!m_decoder || !m_inUtterance)
        return {};
    ps_end_utt(m_decoder);
    m_inUtterance = false;
    m_sawSpeech = false;
    m_lastPartial.clear();
    return hypothesis();
}
