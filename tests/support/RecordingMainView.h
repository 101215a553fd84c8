#pragma once

#include <QString>
#include <array>

#include "catalog/MainView.h"

namespace bravel::test {

// A main window without widgets for tests of the catalog controller and the backup run: it
// keeps what it was last shown.
class RecordingMainView : public MainView {
  public:
    void showOverlay(const QString& text, bool visible) override {
        overlay = text;
        overlayVisible = visible;
    }
    void setRecordCountText(const QString& text) override { recordCount = text; }
    void setListVisible(bool) override {}
    void setDetailTexts(const QString& sourceText, const QString& folderText) override {
        source = sourceText;
        folder = folderText;
    }
    QString detailSource() const override { return source; }
    QString detailFolder() const override { return folder; }
    void autoSizeColumns() override {}
    void scrollToRow(int) override {}
    void setSummaryText(const QString& text) override { summary = text; }
    void applyControlStates(const ControlStates& states) override { controls = states; }
    void showRecentEntries(const std::array<QString, 9>& entries) override { captions = entries; }
    void closeToolTip() override {}

    QString overlay;
    bool overlayVisible = false;
    QString recordCount;
    QString source;  // the detail texts
    QString folder;
    QString summary;
    ControlStates controls;
    std::array<QString, 9> captions;
};

}  // namespace bravel::test
