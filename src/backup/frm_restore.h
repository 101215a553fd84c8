#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "backup/Restore.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace bravel {

class CatalogController;

// "Wiederherstellen": lists the backup copy of one entry and its kept versions, newest first, and
// copies the chosen one back to the source or into a folder the person picks.
class frm_restore : public QDialog {
    Q_OBJECT
  public:
    frm_restore(const QString& source, const QString& backupFolder, QWidget* parent = nullptr);

    QLabel* lbl_Source;
    QTreeWidget* lst_Versions;
    QRadioButton* opt_ToSource;
    QRadioButton* opt_ToFolder;
    QProgressBar* pan_Restore;
    QLabel* lbl_Result;
    QPushButton* but_Restore;
    QPushButton* but_exit;

    const std::vector<restore::RestorePoint>& points() const { return points_; }

  signals:
    // A restore changed a file (the source, or its kept version): the entry's row may show it.
    void restored();

  private:
    void buildControls();
    void fillList();
    void but_Restore_Click();
    // The folder the person picks, and whether a file of the source's name there may be replaced.
    std::optional<QString> chooseFolder();
    void showResult(const restore::RestoreResult& result);

    QString source_;
    QString backupFolder_;
    std::vector<restore::RestorePoint> points_;
};

// The entry command: opens the window for the one selected row of the controller's list while
// the list's timers rest, and refills that row after a restore.
void openRestoreWindow(CatalogController& controller, QWidget* parent);

}  // namespace bravel
