#pragma once

#include "settings/AppearanceTarget.h"

namespace bravel {

class frm_main;

// The main window's look as the setup window changes it.
class MainAppearance : public AppearanceTarget {
  public:
    explicit MainAppearance(frm_main& window) : window_(window) {}

    BaselineAppearance baseline() const override;
    void setBaseline(const BaselineAppearance& baseline) override;
    MenuLabelLook menuLabelLook(MenuLabel label) const override;
    void setMenuLabelFont(MenuLabel label, const QString& family) override;
    void setMenuLabelForeColor(MenuLabel label, qint64 bgr) override;
    void setMenuLabelBackColor(MenuLabel label, qint64 bgr) override;
    void lineUpMenuLabels() override;
    void applyCaptionColors() override;
    qint64 listColor() const override;
    void setListColor(qint64 bgr) override;
    qint64 buttonsColor() const override;
    void setButtonsColor(qint64 bgr) override;
    void applySchemeToControls(qint64 back, qint64 fore) override;
    bool fullRowSelect() const override;
    void setFullRowSelect(bool on) override;
    void fitListColumns() override;
    void focusNewEntryShortcut() override;

  private:
    frm_main& window_;
};

// The setup button: the setup window runs modally, then its result is applied.
void but_setup_Click(frm_main& window);

}  // namespace bravel
