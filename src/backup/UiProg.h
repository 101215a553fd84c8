#pragma once

class QTreeView;
class QWidget;

namespace bravel {

// The helpers that touch widgets.

// Fits every visible column of a list to its contents; with byHeader the header text counts too.
void gAutoSizeColumns(QTreeView* list, bool byHeader);
// Adds or removes the window system's caption bar; windows that draw their own call it with false.
void gShowSystemCaption(QWidget* window, bool show);

}  // namespace bravel
