#pragma once
// How the desktop knows the program: the desktop entry its windows belong to (so a
// task bar groups them with the launcher and shows its name) and the window icon.

class QGuiApplication;

namespace tarnwick {

// The id of the desktop entry, the AppStream component and the icon.
inline constexpr char kDesktopId[] = "org.tarnwick.Tarnwick";

// Sets the application's name, version, desktop entry and window icon.
void SetDesktopIdentity(QGuiApplication& application);

}  // namespace tarnwick
