#pragma once

#include <QDialog>

#include "platform/UiWindowDrag.h"
#include "settings/BackupSchedule.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace bravel {

// "Zeitplan": when the open catalog is backed up without anyone starting it. Shows what the unit
// files hold and writes them on OK.
class frm_schedule : public QDialog {
    Q_OBJECT
  public:
    frm_schedule(const QString& catalogPath, const QString& programPath, QWidget* parent = nullptr);

    QLabel* lbl_caption;
    QLabel* img_systemclose;
    QRadioButton* opt_Off;
    QRadioButton* opt_Daily;
    QRadioButton* opt_Weekly;
    QComboBox* cbo_Weekday;
    QTimeEdit* txt_Time;
    QRadioButton* opt_AllEntries;
    QRadioButton* opt_MatchingEntries;
    QLineEdit* txt_Match;
    QPushButton* but_OK;
    QPushButton* but_exit;

    // The schedule the controls show.
    schedule::Schedule chosenSchedule() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void showSchedule(const schedule::Schedule& shown);
    void enableControls();
    void but_OK_Click();

    QString catalogPath_;
    QString programPath_;
    UiWindowDrag drag_{this};
};

}  // namespace bravel
