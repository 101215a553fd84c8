#include "catalog/frm_choosedir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWindow>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/EntryWriter.h"
#include "catalog/MainView.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Twips.h"
#include "settings/SettingKeys.h"

namespace bravel {

std::function<QString(QWidget*)> frm_choosedir::scannerRunner;

namespace {

constexpr int kMinimumWidthTwips = 4200;
constexpr int kMinimumHeightTwips = 4170;

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// A caption above a control: it wraps rather than being cut when the window is narrow.
QLabel* makeCaption(QWidget* parent, const QString& text) {
    auto* caption = new QLabel(text, parent);
    caption->setWordWrap(true);
    return caption;
}

// The icon with a disabled picture that is plainly faint. The style's own greyed picture of a
// dark or single-coloured icon (the usual theme icons) is hardly lighter than the icon itself, so
// a disabled picture button would look enabled beside its greyed neighbours.
QIcon withFaintDisabledPicture(const QIcon& icon, const QSize& size) {
    const QPixmap greyed = icon.pixmap(size, QIcon::Disabled);
    QPixmap faint(greyed.size());
    faint.setDevicePixelRatio(greyed.devicePixelRatio());
    faint.fill(Qt::transparent);
    QPainter painter(&faint);
    painter.setOpacity(0.3);
    painter.drawPixmap(0, 0, greyed);
    painter.end();
    QIcon result;
    result.addPixmap(icon.pixmap(size, QIcon::Normal), QIcon::Normal);
    result.addPixmap(icon.pixmap(size, QIcon::Active), QIcon::Active);
    result.addPixmap(faint, QIcon::Disabled);
    return result;
}

QString chosenFilesText(const QStringList& files) {
    if (files.size() == 1) return files.first();
    return QStringLiteral("[") + QString::number(files.size()) +
           QStringLiteral(" Dateien ausgewählt]");
}

// The file dialog gives full paths; the split expects its folder-and-names form.
QString dialogResultText(const QStringList& files) {
    if (files.size() == 1) return files.first();
    const QString folder = files.first().left(files.first().lastIndexOf(QLatin1Char('/')));
    QStringList parts{folder};
    for (const QString& file : files) parts << file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    return parts.join(QChar(0));
}

}  // namespace

frm_choosedir::frm_choosedir(MainView& mainWindow, EditorMode mode, int selectedRows,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      main_(mainWindow),
      mode_(mode),
      selectedRows_(selectedRows) {
    setObjectName(QStringLiteral("frm_choosedir"));
    setWindowTitle(mode == EditorMode::Add ? QStringLiteral("Datei hinzufügen")
                                           : QStringLiteral("Datei ändern"));
    setModal(true);
    buildControls();
    loadSettings();
}

frm_choosedir::~frm_choosedir() = default;

void frm_choosedir::buildControls() {
    lbl_caption = makeLabel(this, "lbl_caption");
    lbl_mnu_SystemResize = makeLabel(this, "lbl_mnu_SystemResize", QStringLiteral(" □ "));
    lbl_mnu_System = makeLabel(this, "lbl_mnu_System", QStringLiteral(" ✕ "));
    img_systemmaximize = makeLabel(this, "img_systemmaximize");
    img_systemmaximize->setPixmap(
        style()->standardIcon(QStyle::SP_TitleBarMaxButton).pixmap(14, 14));
    img_systemclose = makeLabel(this, "img_systemclose");
    img_systemclose->setPixmap(
        style()->standardIcon(QStyle::SP_TitleBarCloseButton).pixmap(14, 14));
    for (QLabel* label :
         {lbl_caption, lbl_mnu_SystemResize, lbl_mnu_System, img_systemmaximize, img_systemclose}) {
        QPalette colours = label->palette();
        colours.setColor(QPalette::Window, colorFromBgr(gCaptionBackColor));
        colours.setColor(QPalette::WindowText, colorFromBgr(gCaptionForeColor));
        label->setPalette(colours);
        label->setAutoFillBackground(true);
        label->installEventFilter(this);
    }

    txt_Eingangsdatei = new QLineEdit(this);
    txt_Eingangsdatei->setObjectName(QStringLiteral("txt_Eingangsdatei"));
    but_source = new QPushButton(QStringLiteral("..."), this);
    but_source->setObjectName(QStringLiteral("but_source"));
    but_ds = new QPushButton(this);
    but_ds->setObjectName(QStringLiteral("but_ds"));
    const QIcon scannerIcon = QIcon::fromTheme(
        QStringLiteral("system-search"), style()->standardIcon(QStyle::SP_FileDialogContentsView));
    but_ds->setIcon(withFaintDisabledPicture(scannerIcon, but_ds->iconSize()));
    but_ds->setEnabled(static_cast<bool>(scannerRunner));
    drv_Drive = new QComboBox(this);
    drv_Drive->setObjectName(QStringLiteral("drv_Drive"));
    drv_Drive->setToolTip(QStringLiteral("Auswahl des Laufwerks."));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) drv_Drive->addItem(volume.rootPath());
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    folders_->setRootPath(QStringLiteral("/"));
    dir_Directory = new QTreeView(this);
    dir_Directory->setObjectName(QStringLiteral("dir_Directory"));
    dir_Directory->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c) dir_Directory->hideColumn(c);
    dir_Directory->header()->hide();
    chk_UseOrigPath = new QCheckBox(QStringLiteral("Benutze Original-Pfadinformationen"), this);
    chk_UseOrigPath->setObjectName(QStringLiteral("chk_UseOrigPath"));
    but_OK = new QPushButton(QStringLiteral("OK"), this);
    but_OK->setObjectName(QStringLiteral("but_OK"));
    but_OK->setDefault(true);
    but_exit = new QPushButton(QStringLiteral("Abbrechen"), this);
    but_exit->setObjectName(QStringLiteral("but_exit"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 6);
    layout->addLayout(captionBar(
        lbl_caption, {lbl_mnu_SystemResize, lbl_mnu_System, img_systemmaximize, img_systemclose}));
    layout->addWidget(
        makeCaption(this, QStringLiteral("Eingangsdatei(en) (UNC erlaubt; keine Verknüpfungen)")));
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(txt_Eingangsdatei, 1);
    sourceRow->addWidget(but_source);
    sourceRow->addWidget(but_ds);
    layout->addLayout(sourceRow);
    layout->addWidget(drv_Drive);
    layout->addWidget(makeCaption(this, QStringLiteral("Sicherungsverzeichnis")));
    layout->addWidget(dir_Directory, 1);
    layout->addWidget(chk_UseOrigPath);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(but_OK);
    buttons->addWidget(but_exit);
    layout->addLayout(buttons);

    connect(but_source, &QPushButton::clicked, this, &frm_choosedir::chooseFiles);
    connect(but_ds, &QPushButton::clicked, this, &frm_choosedir::openScanner);
    connect(but_OK, &QPushButton::clicked, this, &frm_choosedir::confirm);
    connect(but_exit, &QPushButton::clicked, this, &frm_choosedir::reject);
    connect(drv_Drive, &QComboBox::textActivated, this, [this](const QString& root) {
        showFolder(root);
        QCoreApplication::processEvents();
        main_.setDetailTexts(main_.detailSource(),
                             folders_->filePath(dir_Directory->currentIndex()));
    });
    connect(dir_Directory->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    main_.setDetailTexts(main_.detailSource(), folders_->filePath(current));
                if (folders_->filePath(current) != scrollTarget_)
                    scrollTarget_.clear();  // the user's choice
            });
    followStartingFolder();
}

void frm_choosedir::followStartingFolder() {
    // The model reads the folders in the background and sorts them afterwards: every folder read
    // or sorted on the way to the starting folder moves it, so the tree scrolls to it again,
    // until the user scrolls, opens or closes a folder himself.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) {
        if (onTheWayToTarget(folder)) keepTargetInView();
    });
    connect(folders_, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent) {
        if (onTheWayToTarget(folders_->filePath(parent))) keepTargetInView();
    });
    connect(folders_, &QAbstractItemModel::layoutChanged, this, &frm_choosedir::keepTargetInView);
    connect(dir_Directory->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { scrollTarget_.clear(); });
    connect(dir_Directory, &QTreeView::collapsed, this, [this] { scrollTarget_.clear(); });
    connect(dir_Directory, &QTreeView::expanded, this, [this](const QModelIndex& folder) {
        if (!onTheWayToTarget(folders_->filePath(folder))) scrollTarget_.clear();
    });
}

bool frm_choosedir::onTheWayToTarget(const QString& folder) const {
    if (scrollTarget_.isEmpty() || folder.isEmpty()) return false;
    return folder == QLatin1String("/") || scrollTarget_ == folder ||
           scrollTarget_.startsWith(folder + QLatin1Char('/'));
}

void frm_choosedir::keepTargetInView() {
    if (!scrollTarget_.isEmpty())
        dir_Directory->scrollTo(folders_->index(scrollTarget_),
                                QAbstractItemView::PositionAtCenter);
}

QString frm_choosedir::startingFolder() const {
    QString folder = main_.detailFolder();
    bool useStandard = false;
    if (folder.isEmpty() &&
        readFlagEq1(keys::setup_chk_StandardSicherungsverzeichnis, useStandard) && useStandard)
        folder = readText(keys::setup_txt_StandardSicherungsverzeichnis, programFolder());
    if (folder.isEmpty()) folder = programFolder();
    return folder;
}

void frm_choosedir::showFolder(const QString& folder) {
    const QModelIndex index = folders_->index(folder);
    if (!index.isValid()) return;
    scrollTarget_ = folders_->filePath(index);
    dir_Directory->setCurrentIndex(index);
    dir_Directory->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void frm_choosedir::loadSettings() {
    txt_Eingangsdatei->setText(main_.detailSource());
    bool useOrigPath = false;
    if (readBool(keys::setup_chk_UseOrigPath, useOrigPath))
        chk_UseOrigPath->setChecked(useOrigPath);
    const QString folder = startingFolder();
    main_.setDetailTexts(main_.detailSource(), folder);
    for (int i = 0; i < drv_Drive->count(); ++i)
        if (folder.startsWith(drv_Drive->itemText(i)))
            drv_Drive->setCurrentIndex(i);  // the longest match wins
    showFolder(folder);

    const int width =
        twipsToPixels(std::max<double>(kMinimumWidthTwips, readNumber(keys::choosedir_width)));
    const int height =
        twipsToPixels(std::max<double>(kMinimumHeightTwips, readNumber(keys::choosedir_height)));
    const QWidget* owner = parentWidget();
    const QRect over = owner ? owner->geometry() : QRect(QPoint(0, 0), screen()->geometry().size());
    const int centreLeft = static_cast<int>(pixelsToTwips(over.x() + (over.width() - width) / 2));
    const int centreTop = static_cast<int>(pixelsToTwips(over.y() + (over.height() - height) / 2));
    const int left = twipsToPixels(readNumber(keys::choosedir_left, QString::number(centreLeft)));
    const int top = twipsToPixels(readNumber(keys::choosedir_top, QString::number(centreTop)));
    setGeometry(left, top, width, height);
    setMinimumSize(twipsToPixels(kMinimumWidthTwips), twipsToPixels(kMinimumHeightTwips));
}

void frm_choosedir::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!firstActivation_) return;
    firstActivation_ = false;
    lbl_caption->setText(QString(6, QLatin1Char(' ')) + windowTitle());
    keepTargetInView();  // only now has the tree its height
    if (mode_ != EditorMode::Edit) return;
    if (selectedRows_ >= 2) {
        txt_Eingangsdatei->setText(main_.detailSource());
        txt_Eingangsdatei->setEnabled(false);
        but_source->setEnabled(false);
        but_ds->setEnabled(false);
    } else {
        // OK without choosing another file keeps the entry's source.
        gSelectedFiles = gSplitMultiselectFiles(txt_Eingangsdatei->text(), false);
    }
}

void frm_choosedir::chooseFiles() {
    FileDialogRequest request;
    request.title = gProductName + QStringLiteral(" - Datei auswählen");
    request.filter = QStringLiteral("Alle Dateien (*.*)|*");
    request.folder = txt_Eingangsdatei->text();
    request.multiSelect = true;
    const std::optional<QStringList> chosen = dialogs().openFiles(request);
    if (!chosen || chosen->isEmpty()) return;
    const QStringList files = gSplitMultiselectFiles(dialogResultText(*chosen), false);
    if (files.isEmpty()) return;  // nothing that can be taken (each refusal is recorded)
    gSelectedFiles = files;
    showChosenFiles();
    but_OK->setFocus();
}

void frm_choosedir::openScanner() {
    if (!scannerRunner) return;
    if (scannerRunner(this) == QLatin1String("OK")) showChosenFiles();
}

void frm_choosedir::showChosenFiles() {
    if (gSelectedFiles) txt_Eingangsdatei->setText(chosenFilesText(*gSelectedFiles));
}

void frm_choosedir::confirm() {
    if (mode_ == EditorMode::Add) {
        if (!gSelectedFiles) {
            showMessage(QStringLiteral("Bitte geben Sie die Eingangsdatei(en) ein."), gProductName,
                        MsgIcon::Information);
            txt_Eingangsdatei->setFocus();
            return;
        }
        for (const QString& path : *gSelectedFiles) {
            if (gFileExists(path)) continue;
            dialogs().messageBox(
                QStringLiteral("Die Datei '") + path + QStringLiteral("' exisitert nicht."),
                gProductName, MsgIcon::Information, MsgButtons::OkCancel);
            return;
        }
    }
    gUseOrigPath = chk_UseOrigPath->isChecked();
    accept();
}

void frm_choosedir::reject() {
    main_.setDetailTexts(QString(), QString());
    gSelectedFiles.reset();
    QDialog::reject();
}

void frm_choosedir::done(int result) {
    const QRect frame = geometry();
    writeSetting(keys::choosedir_left, static_cast<qint64>(pixelsToTwips(frame.x())));
    writeSetting(keys::choosedir_top, static_cast<qint64>(pixelsToTwips(frame.y())));
    writeSetting(keys::choosedir_width, static_cast<qint64>(pixelsToTwips(frame.width())));
    writeSetting(keys::choosedir_height, static_cast<qint64>(pixelsToTwips(frame.height())));
    QDialog::done(result);
}

void frm_choosedir::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
}

void frm_choosedir::toggleMaximized() {
    setWindowState(windowState() ^ Qt::WindowMaximized);
}

bool frm_choosedir::eventFilter(QObject* watched, QEvent* event) {
    const auto* mouse = dynamic_cast<QMouseEvent*>(event);  // used only for mouse events
    if (watched == lbl_caption && drag_.handle(lbl_caption, event)) return true;
    if (event->type() == QEvent::MouseButtonDblClick && watched == lbl_caption) {
        toggleMaximized();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        if (watched == img_systemclose || watched == lbl_mnu_System) {
            but_exit->click();
            return true;
        }
        if (watched == img_systemmaximize || watched == lbl_mnu_SystemResize) {
            toggleMaximized();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void runEntryEditor(MainView& mainWindow, EditorMode mode, int selectedRows, QWidget* parent) {
    frm_choosedir editor(mainWindow, mode, selectedRows, parent);
    editor.exec();
}

}  // namespace bravel
