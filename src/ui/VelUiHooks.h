#pragma once

class AppDelegate;

// Connects the core's UI hooks to widgets: the standard alert as a
// window-modal sheet on the main window, and the short voice-HUD texts.
namespace VelUiHooks {
void install(AppDelegate *delegate);
}
