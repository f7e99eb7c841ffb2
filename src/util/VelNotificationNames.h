#pragma once

// Notification names are part of the system's interface: spelled as they are.
namespace VelNotification {
inline constexpr const char *HadDeviceSnInfoNotification = "HadDeviceSnInfoNotification";
inline constexpr const char *HadMkeyDoubleClickNoti = "HadMkeyDoubleClickNoti";
inline constexpr const char *HadOpenLoginWindowNoti = "HadOpenLoginWindowNoti";
inline constexpr const char *HadRecordListNotifation = "HadRecordListNotifation";
inline constexpr const char *HadUserInfoNotifation = "HadUserInfoNotifation";
inline constexpr const char *HadReloadMkeyListNoti = "HadReloadMkeyListNoti";
inline constexpr const char *HadMagnifierSwitchChangeNotifation = "HadMagnifierSwitchChangeNotifation";
inline constexpr const char *changeTextFontSizeNoti = "changeTextFontSizeNoti";
inline constexpr const char *kNotiChangeUILanguage = "kNotiChangeUILanguage";
} // namespace VelNotification
