#pragma once

#include <QString>

namespace bravel {

// Shows a notification through the desktop's notification service (org.freedesktop.Notifications
// on the session bus). Without a session bus or without the service it does nothing and does not
// wait; the service itself is given two seconds to answer. Returns whether it was shown.
bool showDesktopNotification(const QString& summary, const QString& body, bool critical);

}  // namespace bravel
