#pragma once

#include <QString>

namespace bravel {

// " Datei" for one remaining file, " Dateien" otherwise.
QString remainingFilesWord(int count);
// The status window's progress line: "4 KB von 10 KB kopiert: (40,97%)  (Rest: 3 Dateien)".
QString statusProgressLine(const QString& doneKb, const QString& totalKb, double percent,
                           int remaining);
// The line the status window measures itself with: blanks in place of the numbers.
QString sampleProgressLine();
// The main window's percentage texts ("41%").
QString percentText(double percent);
// The caption label's marker while a copy waits in pause.
const QString& pauseMarker();

}  // namespace bravel
