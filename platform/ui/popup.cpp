// Message, confirmation and file dialogs through the replaceable hook; the default shows Qt dialogs.
#include "platform/ui/popup.h"

#include "platform/sys/textout.h"
#include "platform/ui/layer.h"
#include "platform/ui/userint.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>
#include <numeric>
#include <vector>

namespace {

QString FileFilter(const PopupRequest& r) {
    QStringList patterns;
    for (const QString& p : ui::ToQt(r.fileTypes).split(';', Qt::SkipEmptyParts))
        patterns << p.trimmed();
    const QString defaultSpec = ui::ToQt(r.fileSpec);
    if (patterns.isEmpty() && defaultSpec.contains('*')) patterns << defaultSpec;
    QString filter = patterns.isEmpty() ? QString() : "Files (" + patterns.join(' ') + ")";
    if (!r.restrictExtension || filter.isEmpty())
        filter += (filter.isEmpty() ? "" : ";;") + QString("All files (*)");
    return filter;
}

// A window manager puts the window's icon and up to three buttons beside its title, each about as wide as
// the title bar is high, and cuts a title that has no room left to "..".
constexpr int kTitleBarButtons = 4 * 32;

// A file dialog's list of files shows every column whole: each as wide as its widest entry and its
// heading, with room for a scroll bar, the dialog grown about its centre as far as the screen allows where
// they need more, the names cut where it allows no more, and the names given what is left. Done again
// whenever the dialog has read a folder, as it reads them after it shows.
void FitColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>();
    if (view == nullptr) return;
    QHeaderView* header = view->header();
    std::vector<int> widths;
    for (int i = 0; i < header->count(); ++i)
        widths.push_back(header->isSectionHidden(i)
                             ? 0
                             : std::max(static_cast<QAbstractItemView*>(view)->sizeHintForColumn(i),
                                        header->sectionSizeHint(i)));
    if (widths.empty()) return;
    int room = view->viewport()->width();
    if (!view->verticalScrollBar()->isVisible())
        room -= view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    const int missing = std::accumulate(widths.begin(), widths.end(), 0) - room;
    int more = 0;
    if (missing > 0) {
        const QRect frame = dialog.frameGeometry();
        more = std::min(missing, std::max(dialog.screen()->availableGeometry().width() - frame.width(), 0));
        dialog.resize(dialog.width() + more, dialog.height());
        dialog.move(ui::KeptOnScreen(frame.adjusted(-more / 2, 0, more - more / 2, 0), dialog).topLeft());
    }
    widths.front() = std::max(widths.front() + more - missing, header->minimumSectionSize());
    for (int i = 0; i < header->count(); ++i)
        if (!header->isSectionHidden(i)) header->resizeSection(i, widths[static_cast<std::size_t>(i)]);
}

// Runs a dialog as every popup of the run-time shows: owned by the window it belongs to (its parent, which
// the window manager keeps it over), as wide as its title needs beside the title bar's icon and buttons,
// application-modal, and centred on its owner, with the focus on its first choice drawn as focused; once
// it closes the keyboard is where it was before. A message box widens itself for its text only as it
// shows, so the title's room goes into its layout; a file dialog the desktop draws itself sizes itself.
int RunDialog(QDialog& dialog) {
    const ui::FocusPlace before = ui::NoteFocus();
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        const int titleWidth =
            QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + kTitleBarButtons;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show(); // the dialog takes its final size as it shows
    if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        FitColumns(*files);
        if (const auto* view = files->findChild<QTreeView*>())
            if (const auto* model = qobject_cast<const QFileSystemModel*>(view->model()))
                QObject::connect(model, &QFileSystemModel::directoryLoaded, files,
                                 [files] { FitColumns(*files); });
    }
    ui::CentreOnOwner(dialog, dialog.parentWidget());
    ui::ShowFocusFrames(dialog);
    const int result = dialog.exec();
    ui::GiveFocusBack(before);
    return result;
}

PopupAnswer ShowQtPopup(const PopupRequest& r) {
    const QString title = ui::ToQt(r.title);
    switch (r.kind) {
    case PopupKind::Message: {
        QMessageBox box(QMessageBox::Information, title, ui::ToQt(r.text), QMessageBox::Ok, ui::PopupOwner());
        RunDialog(box);
        return {};
    }
    case PopupKind::Confirm: {
        QMessageBox box(QMessageBox::Question, title, ui::ToQt(r.text), QMessageBox::Yes | QMessageBox::No,
                        ui::PopupOwner());
        box.setDefaultButton(r.enter == ConfirmDefault::No ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No); // Escape and the close box
        return {RunDialog(box) == QMessageBox::Yes ? 1 : 0, {}};
    }
    case PopupKind::FileSelect: {
        const QString defaultSpec = ui::ToQt(r.fileSpec);
        const QString start = ui::ToQt(r.directory) +
                              (defaultSpec.contains('*') || defaultSpec.isEmpty() ? "" : "/" + defaultSpec);
        const bool save = r.buttonLabel == VAL_SAVE_BUTTON;
        QFileDialog dialog(ui::PopupOwner(), title, start, FileFilter(r));
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(ui::ToQt(r.defaultSuffix));
        if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {VAL_NO_FILE_SELECTED, {}};
        const QString path = dialog.selectedFiles().constFirst();
        if (path.isEmpty()) return {VAL_NO_FILE_SELECTED, {}};
        return {QFileInfo::exists(path) ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED,
                ui::FromQt(path)};
    }
    }
    return {};
}

PopupHook hook;

PopupAnswer Ask(const PopupRequest& r) {
    ui::EnsureApp();
    // A copy: the hook may replace itself while it runs.
    const PopupHook current = hook;
    return current ? current(r) : ShowQtPopup(r);
}

} // namespace

PopupHook SetPopupHook(PopupHook next) {
    PopupHook previous = std::move(hook);
    hook = std::move(next);
    return previous;
}

int MessagePopup(const char* title, const char* message) {
    Ask({PopupKind::Message, title ? title : "", message ? message : ""});
    return UIE_NoError;
}

int ConfirmPopup(const char* title, const char* message, ConfirmDefault enter) {
    return Ask({PopupKind::Confirm, title ? title : "", message ? message : "", enter}).result != 0 ? 1 : 0;
}

int FileSelectPopup(const char* defaultDirectory, const char* defaultFileSpec, const char* fileTypeList,
                    const char* title, int buttonLabel, int restrictDirectory, int restrictExtension,
                    int allowCancel, int allowMakeDirectory, std::span<char> pathName) {
    PopupRequest r;
    r.kind = PopupKind::FileSelect;
    r.title = title ? title : "";
    r.directory = defaultDirectory ? defaultDirectory : "";
    r.fileSpec = defaultFileSpec ? defaultFileSpec : "";
    r.fileTypes = fileTypeList ? fileTypeList : "";
    r.buttonLabel = buttonLabel;
    r.restrictDirectory = restrictDirectory != 0;
    r.restrictExtension = restrictExtension != 0;
    r.allowCancel = allowCancel != 0;
    r.allowMakeDirectory = allowMakeDirectory != 0;
    if (r.restrictExtension && r.fileTypes.starts_with("*.") &&
        r.fileTypes.find_first_of(";*?", 2) == std::string::npos)
        r.defaultSuffix = r.fileTypes.substr(2);
    const PopupAnswer a = Ask(r);
    if (a.result == VAL_NO_FILE_SELECTED || a.path.empty()) {
        CopyText("", pathName);
        return VAL_NO_FILE_SELECTED;
    }
    // A path cut to fit would name another file: report no choice instead.
    if (a.path.size() >= pathName.size()) {
        CopyText("", pathName);
        return UIE_BadValue;
    }
    CopyText(a.path, pathName);
    return a.result;
}
