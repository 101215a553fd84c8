#pragma once

#include <QIcon>
#include <QString>

namespace bravel {

// What the program carries compiled into it: its icon, the catalog file type's icon (named as
// the desktop entry and the file type name them) and its desktop entry.
inline constexpr const char* kProgramIconName = "quillfen-bravel";
inline constexpr const char* kCatalogIconName = "application-x-bravel";
inline constexpr const char* kDesktopEntryResource = ":/desktop/quillfen-bravel.desktop";

// ":/icons/" and the icon's name with ".svg".
QString iconResource(const char* iconName);
// The contents of a resource; empty when there is none of that name.
QByteArray resourceBytes(const QString& resource);
// The program icon for windows.
QIcon programIcon();

}  // namespace bravel
