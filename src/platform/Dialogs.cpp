#include "platform/Dialogs.h"

#include <QtGlobal>

namespace bravel {
namespace {
Dialogs* installed = nullptr;
}

Dialogs& dialogs() {
    Q_ASSERT_X(installed, "dialogs", "no dialog implementation installed");
    return *installed;
}

void setDialogs(Dialogs* implementation) {
    installed = implementation;
}

void showMessage(const QString& text, const QString& caption, MsgIcon icon) {
    dialogs().messageBox(text, caption, icon, MsgButtons::Ok);
}

}  // namespace bravel
