#pragma once

#include <QString>

#include "catalog/CatalogListModel.h"

namespace bravel {

namespace exportmode {
constexpr int kFile = 0;
constexpr int kClipboard = 2;
}  // namespace exportmode

// The selected rows of the main list as semicolon text: the header line with the
// computer columns, then per selected row the first seven columns and every column from the
// tenth on, each field followed by ";". The lines are joined by CR LF, with no line end after
// the last one.
QString exportListText(const CatalogListModel& list);

// mode 0: writes the text to path anew (UTF-8, every line ended by CR LF; an existing file is
// replaced); a file that cannot be written is recorded in the error stack. mode 2: puts the text
// on the clipboard (path not read).
void gExportList(const CatalogListModel& list, const QString& path, int mode);

// "... in Textdatei": asks for the file with the save dialog ("Text (*.txt)|*.txt"), starting in
// the user's home folder, and exports to it; cancelling exports nothing.
void exportListToChosenFile(const CatalogListModel& list);

// Writes text to path as UTF-8, replacing the file; false when it could not be written
// (the pending error is then cleared again: the scanner's export records nothing).
bool writeTextFileReplacing(const QString& path, const QString& text);
// Puts text on the clipboard as plain text (nothing when no clipboard is there).
void putOnClipboard(const QString& text);

}  // namespace bravel
