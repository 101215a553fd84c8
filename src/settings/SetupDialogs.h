#pragma once

#include <QFont>
#include <QString>

namespace bravel {

// What one standard dialog of the setup window gave back.
struct DialogChoice {
    bool ok = false;    // the user confirmed
    QString text;       // the font name (ShowFont) or file name (ShowOpen, ShowSave)
    quint32 color = 0;  // ShowColor, 0x00BBGGRR
    QFont font;         // ShowFont
};

struct DialogRequest {
    bool useFilter = false;
    QString filter;  // "Bravel-Kataloge (*.bvk)|*.bvk"
    QString title;
    int flags = 0;
    quint32 initialColor = 0;
    QFont initialFont;
};

// Runs the standard dialog named by action ("ShowFont", "ShowOpen", "ShowColor", "ShowSave")
// through the dialog layer. A cancelled dialog counts as a failure (error 32755, cleared here, as
// nothing is changed for it); any other action name shows nothing and succeeds.
DialogChoice mShowDialog(const DialogRequest& request, const QString& action);

}  // namespace bravel
