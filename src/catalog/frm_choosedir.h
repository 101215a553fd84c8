#pragma once

#include <QDialog>

#include "catalog/EntryCommands.h"
#include "platform/UiWindowDrag.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace bravel {

class MainView;

// The entry editor: one or many source files and one backup folder. Its result goes into
// gSelectedFiles and the main window's detail labels.
class frm_choosedir : public QDialog {
    Q_OBJECT
  public:
    // selectedRows: how many rows of the main list the edit works on.
    frm_choosedir(MainView& mainWindow, EditorMode mode, int selectedRows,
                  QWidget* parent = nullptr);
    ~frm_choosedir() override;
    // "Abbrechen", Escape and the window's close: nothing chosen goes back to the main window.
    void reject() override;

    // Opens the scanner; set by the program once the scanner exists (empty: button disabled).
    static std::function<QString(QWidget*)> scannerRunner;

    QLabel* lbl_caption;
    QLabel* img_systemclose;
    QLabel* img_systemmaximize;
    QLabel* lbl_mnu_System;
    QLabel* lbl_mnu_SystemResize;
    QLineEdit* txt_Eingangsdatei;
    QPushButton* but_source;
    QPushButton* but_ds;
    QComboBox* drv_Drive;
    QTreeView* dir_Directory;
    QCheckBox* chk_UseOrigPath;
    QPushButton* but_OK;
    QPushButton* but_exit;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void loadSettings();
    QString startingFolder() const;
    void showFolder(const QString& folder);
    void followStartingFolder();
    bool onTheWayToTarget(const QString& folder) const;
    void keepTargetInView();
    void chooseFiles();
    void openScanner();
    void showChosenFiles();
    void confirm();
    void toggleMaximized();

    MainView& main_;
    EditorMode mode_;
    int selectedRows_;
    bool firstActivation_ = true;
    QFileSystemModel* folders_;
    QString scrollTarget_;  // the folder the tree keeps in view while the model reads its way there
    UiWindowDrag drag_{this};
};

// Runs the editor modally over the main window.
void runEntryEditor(MainView& mainWindow, EditorMode mode, int selectedRows, QWidget* parent);

}  // namespace bravel
