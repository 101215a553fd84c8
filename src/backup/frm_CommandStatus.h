#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace bravel {

// The small floating status window: a title block that ends with the caller's tag text, a
// progress line and a progress bar. One instance at a time, made on demand.
class frm_CommandStatus : public QWidget {
    Q_OBJECT
  public:
    // Makes the window (or gives the one that is open) and runs its load.
    static frm_CommandStatus* load();
    static frm_CommandStatus* current();
    // Closes and forgets the open window; the next load makes a fresh one.
    static void unload();

    void setTagText(const QString& text) { tagText_ = text; }
    QString tagText() const { return tagText_; }
    // The title block as built (lines joined by CR LF).
    QString titleText() const { return title_; }
    void setProgressText(const QString& text);
    void setProgressValue(int percent);

    QLabel* lbl_titel;
    QLabel* lbl_Progress;
    QProgressBar* pan_progress;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    explicit frm_CommandStatus(QWidget* parent = nullptr);
    // The load steps: title block without the tag line, labels hidden, colours, positions.
    void startAfresh();
    void layOutOnFirstActivation();
    void showTitle();

    QString title_;
    QString tagText_;
    bool firstActivation_ = true;
    static QPointer<frm_CommandStatus> instance_;
    static QPointer<frm_CommandStatus> spare_;  // a closed window, kept for the next load
};

}  // namespace bravel
