#include "app/frm_schedule.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "base/AppValues.h"
#include "errors/COLError.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/UiNamed.h"

namespace bravel {
namespace {

void paintCaption(QLabel* label) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, colorFromBgr(gCaptionBackColor));
    colours.setColor(QPalette::WindowText, colorFromBgr(gCaptionForeColor));
    label->setPalette(colours);
    label->setAutoFillBackground(true);
}

}  // namespace

frm_schedule::frm_schedule(const QString& catalogPath, const QString& programPath, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      catalogPath_(catalogPath),
      programPath_(programPath) {
    setObjectName(QStringLiteral("frm_schedule"));
    setWindowTitle(QStringLiteral("Zeitplan"));
    setModal(true);
    buildControls();
    showSchedule(schedule::readSchedule(catalogPath_));
}

void frm_schedule::buildControls() {
    lbl_caption = named<QLabel>(
        this, "lbl_caption", QStringLiteral(" Zeitplan für ") + QFileInfo(catalogPath_).fileName());
    img_systemclose = named<QLabel>(this, "img_systemclose");
    img_systemclose->setPixmap(
        style()->standardIcon(QStyle::SP_TitleBarCloseButton).pixmap(14, 14));
    for (QLabel* label : {lbl_caption, img_systemclose}) {
        paintCaption(label);
        label->installEventFilter(this);
    }
    opt_Off =
        named<QRadioButton>(this, "opt_Off", QStringLiteral("Keine zeitgesteuerte Sicherung"));
    opt_Daily = named<QRadioButton>(this, "opt_Daily", QStringLiteral("Täglich"));
    opt_Weekly = named<QRadioButton>(this, "opt_Weekly", QStringLiteral("Wöchentlich am"));
    cbo_Weekday = named<QComboBox>(this, "cbo_Weekday");
    cbo_Weekday->addItems({QStringLiteral("Montag"), QStringLiteral("Dienstag"),
                           QStringLiteral("Mittwoch"), QStringLiteral("Donnerstag"),
                           QStringLiteral("Freitag"), QStringLiteral("Samstag"),
                           QStringLiteral("Sonntag")});
    txt_Time = named<QTimeEdit>(this, "txt_Time");
    txt_Time->setDisplayFormat(QStringLiteral("HH:mm"));
    opt_AllEntries = named<QRadioButton>(this, "opt_AllEntries", QStringLiteral("Alle Einträge"));
    opt_MatchingEntries =
        named<QRadioButton>(this, "opt_MatchingEntries", QStringLiteral("Nur Einträge mit:"));
    txt_Match = named<QLineEdit>(this, "txt_Match");
    txt_Match->setPlaceholderText(QStringLiteral("Suchtext (\"a|b\" für beide)"));
    but_OK = named<QPushButton>(this, "but_OK", QStringLiteral("OK"));
    but_OK->setDefault(true);
    but_exit = named<QPushButton>(this, "but_exit", QStringLiteral("Abbrechen"));

    auto* when = new QButtonGroup(this);
    for (QRadioButton* option : {opt_Off, opt_Daily, opt_Weekly}) when->addButton(option);
    auto* which = new QButtonGroup(this);
    for (QRadioButton* option : {opt_AllEntries, opt_MatchingEntries}) which->addButton(option);

    auto* grid = new QGridLayout;
    grid->addWidget(opt_Off, 0, 0, 1, 3);
    grid->addWidget(opt_Daily, 1, 0);
    grid->addWidget(opt_Weekly, 2, 0);
    grid->addWidget(cbo_Weekday, 2, 1);
    grid->addWidget(named<QLabel>(this, "lbl_Time", QStringLiteral("Uhrzeit:")), 3, 0);
    grid->addWidget(txt_Time, 3, 1);
    grid->addWidget(opt_AllEntries, 4, 0, 1, 3);
    grid->addWidget(opt_MatchingEntries, 5, 0);
    grid->addWidget(txt_Match, 5, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(but_OK);
    buttons->addWidget(but_exit);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(2, 2, 6, 6);
    root->addLayout(captionBar(lbl_caption, {img_systemclose}));
    root->addLayout(grid);
    root->addLayout(buttons);

    for (QRadioButton* option :
         {opt_Off, opt_Daily, opt_Weekly, opt_AllEntries, opt_MatchingEntries})
        connect(option, &QRadioButton::toggled, this, &frm_schedule::enableControls);
    connect(but_OK, &QPushButton::clicked, this, &frm_schedule::but_OK_Click);
    connect(but_exit, &QPushButton::clicked, this, &QDialog::reject);
}

void frm_schedule::showSchedule(const schedule::Schedule& shown) {
    opt_Off->setChecked(shown.frequency == schedule::Frequency::Off);
    opt_Daily->setChecked(shown.frequency == schedule::Frequency::Daily);
    opt_Weekly->setChecked(shown.frequency == schedule::Frequency::Weekly);
    cbo_Weekday->setCurrentIndex(qBound(1, shown.weekday, 7) - 1);
    txt_Time->setTime(shown.time);
    opt_AllEntries->setChecked(shown.matchText.isEmpty());
    opt_MatchingEntries->setChecked(!shown.matchText.isEmpty());
    txt_Match->setText(shown.matchText);
    enableControls();
}

void frm_schedule::enableControls() {
    const bool on = !opt_Off->isChecked();
    cbo_Weekday->setEnabled(opt_Weekly->isChecked());
    txt_Time->setEnabled(on);
    opt_AllEntries->setEnabled(on);
    opt_MatchingEntries->setEnabled(on);
    txt_Match->setEnabled(on && opt_MatchingEntries->isChecked());
}

schedule::Schedule frm_schedule::chosenSchedule() const {
    schedule::Schedule chosen;
    chosen.frequency = opt_Daily->isChecked()    ? schedule::Frequency::Daily
                       : opt_Weekly->isChecked() ? schedule::Frequency::Weekly
                                                 : schedule::Frequency::Off;
    chosen.weekday = cbo_Weekday->currentIndex() + 1;
    chosen.time = txt_Time->time();
    // A typed search text: outer blanks are the person's, not the search's.
    if (opt_MatchingEntries->isChecked()) chosen.matchText = txt_Match->text().trimmed();
    return chosen;
}

void frm_schedule::but_OK_Click() {
    const schedule::Schedule chosen = chosenSchedule();
    if (chosen.frequency != schedule::Frequency::Off && opt_MatchingEntries->isChecked() &&
        chosen.matchText.isEmpty()) {
        showMessage(QStringLiteral("Bitte einen Suchtext eingeben."), gProductName,
                    MsgIcon::Exclamation);
        txt_Match->setFocus();
        return;
    }
    const schedule::Outcome outcome = schedule::applySchedule(catalogPath_, programPath_, chosen);
    const QString message = schedule::outcomeMessage(outcome, chosen);
    const bool fine =
        outcome == schedule::Outcome::Enabled || outcome == schedule::Outcome::Removed;
    gRecordError(QStringLiteral("but_Schedule"), schedule::timerPath(catalogPath_));
    showMessage(message, gProductName, fine ? MsgIcon::Information : MsgIcon::Exclamation);
    if (outcome != schedule::Outcome::Failed) accept();
}

bool frm_schedule::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbl_caption && drag_.handle(lbl_caption, event)) return true;
    if (watched == img_systemclose && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        but_exit->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace bravel
