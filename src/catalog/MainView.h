#pragma once

#include <QString>
#include <array>

namespace bravel {

// Which commands the main window may offer; the window maps these onto its controls.
struct ControlStates {
    bool idle = true;  // no command or run is working
    bool catalogOpen = false;
    bool hasSelection = false;
    bool oneRowSelected = false;   // exactly one row: the commands for a single entry
    bool allRowsSelected = false;  // the check-all box shows ticked
    bool catalogReadOnly =
        false;  // the open catalog cannot be written: its entries stay as they are
};

// What the catalog commands and the list fill need of the main window. frm_main implements it;
// tests use a recording one.
class MainView {
  public:
    virtual ~MainView() = default;
    // The text box over the list (" Katalog wird geladen...", " Keine Einträge im Katalog.").
    virtual void showOverlay(const QString& text, bool visible) = 0;
    virtual void setRecordCountText(const QString& text) = 0;
    virtual void setListVisible(bool visible) = 0;
    // The two detail labels under the list; they carry the source and the backup folder into
    // the entry editor and back.
    virtual void setDetailTexts(const QString& source, const QString& folder) = 0;
    virtual QString detailSource() const { return {}; }
    virtual QString detailFolder() const { return {}; }
    virtual void autoSizeColumns() = 0;
    virtual void scrollToRow(int row) = 0;
    virtual void setSummaryText(const QString& text) = 0;  // lbl_status
    virtual void applyControlStates(const ControlStates& states) = 0;
    // Captions of the nine recent entries ("&1. /path"); an empty caption hides its entry. The
    // separator shows when any entry does.
    virtual void showRecentEntries(const std::array<QString, 9>& captions) = 0;
    virtual void closeToolTip() = 0;
};

}  // namespace bravel
