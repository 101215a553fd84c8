#pragma once

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include "catalog/CatalogListModel.h"
#include "catalog/UiRowListView.h"
#include "platform/UiWindowDrag.h"

class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QStatusBar;

namespace bravel {

class SearchBox;

// Opens the scanner modally and gives its result: "OK" with the ticked files in gSelectedFiles,
// or "CANCEL". The entry editor's scanner button calls this.
QString runScanner(QWidget* parent);

// The scanner window "Zezadaze Rodoraviz Edevedu": choose a folder, list every file
// below it, tick the wanted ones and hand them over. Its list is a CatalogListModel with one
// column, so the list search works on it unchanged; a row's tick is a view of its
// selection, as in the main list.
class frm_dscan : public QDialog {
    Q_OBJECT
  public:
    explicit frm_dscan(QWidget* parent = nullptr);
    ~frm_dscan() override;

    // "OK" or "CANCEL", set just before the window closes.
    QString scannerResult() const { return result_; }
    CatalogListModel& model() { return model_; }
    const QStringList& foundEntries() const { return found_; }
    QString lastFolder() const { return lastFolder_; }
    QString exportPath() const;

    // Handlers, reached by the controls and by tests.
    void but_Dialog_Click();         // choose a folder and scan it
    void but_ScanDirectory_Click();  // scan the folder in but_Dialog's caption
    void but_Cancel_Click();
    void but_OK_Click();
    void but_exit_Click();
    bool mTakeOverFiles();
    // The text handed to gSplitMultiselectFiles: each ticked row trimmed and followed by NUL.
    QString takeOverText() const;
    void mnu_export2ascii_Click();      // the selected rows into the export file, with the banner
    void mnu_export2ascii_new_Click();  // choose another export file, then export
    void mnu_export2clip_Click();
    void statusPanelClick();  // choose the export file only
    void prepareMenu();       // sets mnu_export2ascii's caption from the export path
    // The banner of the export file, each line ended by CR LF.
    static QString exportBanner();
    // The selected rows' texts in list order, each followed by CR LF.
    QString selectedRowsText() const;

    QLabel* lbl_caption;
    QLabel* img_systemmaximize;
    QLabel* img_systemclose;
    QPushButton* but_Dialog;
    QPushButton* but_ScanDirectory;
    QPushButton* but_Cancel;
    QPushButton* but_OK;
    QPushButton* but_exit;
    UiRowListView* lst_Files;
    QLineEdit* txt_Suche;
    QStatusBar* stat_bar;
    QLabel* stat_bar_panel1;  // the export file's path
    QTimer timr;
    QMenu* mnu;
    QAction* mnu_Open;
    QAction* mnu_CopyTo;
    QMenu* mnu_export;
    QAction* mnu_export2ascii;
    QAction* mnu_export2ascii_new;
    QAction* mnu_export2clip;
    QAction* mnu_Delete;

  public slots:
    void reject() override;  // Esc and closing the window: as but_exit

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildControls();
    void layOutControls();
    void connectControls();
    void toggleMaximized();
    void setExportPath(const QString& path);
    void finish(const QString& result);

    CatalogListModel model_;
    SearchBox* searchBox_ = nullptr;
    QStringList found_;
    QString lastFolder_;
    int lastAddedRow_ = -1;
    QString result_ = QStringLiteral("CANCEL");
    UiWindowDrag drag_{this};
};

}  // namespace bravel
