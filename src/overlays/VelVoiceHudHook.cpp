#include "VelVoiceHudHook.h"

#include "util/VelLog.h"
#include "util/VelMainThread.h"

namespace {
VelVoiceHudHook::Show &showHook()
{
    static VelVoiceHudHook::Show hook;
    return hook;
}
VelVoiceHudHook::Dismiss &dismissHook()
{
    static VelVoiceHudHook::Dismiss hook;
    return hook;
}
} // namespace

void VelVoiceHudHook::showSpeechView(const QString &text, qint64 type, qint64 bleEvent)
{
    velLog(QStringLiteral("语音浮窗：%1").arg(text));
    VelMainThread::run([text, type, bleEvent] {
        if (showHook())
            showHook()(text, type, bleEvent);
    });
}

void VelVoiceHudHook::dismissSpeechView(double afterSeconds)
{
    VelMainThread::run([afterSeconds] {
        if (dismissHook())
            dismissHook()(afterSeconds);
    });
}

void VelVoiceHudHook::install(Show show, Dismiss dismiss)
{
    showHook() = std::move(show);
    dismissHook() = std::move(dismiss);
}
