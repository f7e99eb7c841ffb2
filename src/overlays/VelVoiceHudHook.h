#pragma once

#include <QString>

#include <functional>

// The call that shows a short text in the voice HUD and hides it again. Until
// the HUD windows exist the text goes to the log; the GUI (or a test) installs
// what actually draws it.
class VelVoiceHudHook
{
public:
    using Show = std::function<void(const QString &text, qint64 type, qint64 bleEvent)>;
    using Dismiss = std::function<void(double afterSeconds)>;

    static void showSpeechView(const QString &text, qint64 type, qint64 bleEvent);
    static void dismissSpeechView(double afterSeconds);
    static void install(Show show, Dismiss dismiss);
};
