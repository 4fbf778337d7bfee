// The main window as a desktop program: the status line that tells each command's outcome, the
// message log, recent files, files dropped on the window, and the layout that follows the
// window's size (the grid grows; the controls right of it keep their place to its right edge).
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>

#include "app/listen_strip.h"
#include "app/main_window.h"
#include "app/message_log.h"
#include "app/sheet_area.h"
#include "app/sheet_view.h"
#include "editing/undoable_edits.h"
#include "rom/open_kind.h"

namespace kestra {
namespace {

// The grid's right edge at the default size: what lies right of it moves with it.
constexpr int kGridRight = 660;
constexpr const char* kRecentTitle = "Open Recent";

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

void MainWindow::setupDesktop() {
    log_ = new MessageLog(this);
    // The log's button takes the right end of the message box.
    QRect box = c_.txtImpMess->geometry();
    c_.txtImpMess->setGeometry(box.adjusted(0, 0, -24, 0));
    auto* logButton = new QPushButton("...", client_);
    logButton->setObjectName("btnMessageLog");
    logButton->setToolTip("Message log: every message of this session");
    logButton->setFocusPolicy(Qt::NoFocus);
    logButton->setGeometry(box.right() - 20, box.y(), 22, box.height());
    connect(logButton, &QPushButton::clicked, menu_.messageLog, &QAction::trigger);
    connect(menu_.messageLog, &QAction::triggered, this, [this] {
        log_->show();
        log_->raise();
        log_->activateWindow();
    });

    // The message box stretches with the grid, its two buttons stay at its right end.
    QWidget* boxButtons[] = {logButton, client_->findChild<QWidget*>("btnImpRem")};
    for (QWidget* w : client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<SheetView*>(w)) continue;
        bool stretch = w == c_.txtImpMess;
        bool right = w->x() >= kGridRight || w == boxButtons[0] || w == boxButtons[1];
        if (stretch || right) anchored_.push_back({w, w->geometry(), stretch});
    }

    setAcceptDrops(true);
    connect(menu_.recentFiles, &QMenu::aboutToShow, this, &MainWindow::rebuildRecentMenu);
    rebuildRecentMenu();
    report("Ready");
}

void MainWindow::report(const QString& text) {
    status_->showMessage(text);
}

void MainWindow::reportOutcome(const QString& done, const QString& failed) {
    if (!done.isEmpty())
        report(done);
    else
        report(actionMessages_.isEmpty() ? failed : failed + ": " + actionMessages_.last());
}

void MainWindow::startAction() {
    actionMessages_.clear();
    recordedBefore_ = undo_.recorded();
}

void MainWindow::messageChanged(const std::string& text) {
    QString shown = qs(text);
    c_.txtImpMess->setText(shown);
    // The start of a long message is what reads first; the tooltip and the log hold it all.
    c_.txtImpMess->setCursorPosition(0);
    if (!shown.isEmpty()) {
        actionMessages_ << shown;
        log_->add(shown);
    }
    c_.txtImpMess->setToolTip(actionMessages_.join('\n'));
}

void MainWindow::rememberFile(const std::string& path) {
    recent_.add(qs(path));
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
    QMenu* menu = menu_.recentFiles;
    menu->clear();
    const QStringList files = recent_.files();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        // &1 .. &8: the keyboard reaches each one.
        QString text = QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName());
        QAction* action = menu->addAction(text, this, [this, path] { openRecent(path); });
        action->setToolTip(path);
        action->setObjectName(QString("actRecent%1").arg(i + 1));
    }
    menu->setEnabled(!files.isEmpty());
}

void MainWindow::openRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        recent_.remove(path);
        rebuildRecentMenu();
        ports_.messages->messageBox(
            kRecentTitle,
            (path + " no longer exists; it was removed from the list.").toStdString());
        report("Not found: " + path);
        return;
    }
    openAnyFile(path);
}

bool MainWindow::openAnyFile(const QString& path) {
    const std::string file = path.toStdString();
    if (openKindOf(file) == OpenKind::Song) {
        startAction();
        bool opened = songFiles_->openPath(file, cursorOf(selection()));
        sheets_->refreshAll();
        refreshDocumentState();
        if (opened) rememberFile(file);
        report(opened ? "Song file opened: " + path : "Song file not opened: " + path);
        return opened;
    }
    openFile(file);
    return doc_.file.path == file;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    // One file is worked on at a time: the first local file dropped.
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        event->acceptProposedAction();
        openAnyFile(url.toLocalFile());
        return;
    }
}

void MainWindow::resizeEvent(QResizeEvent*) {
    const int top = menu_.bar->sizeHint().height();
    const int statusHeight = status_->sizeHint().height();
    menu_.bar->setGeometry(0, 0, width(), top);
    listen_->setGeometry(0, top, width(), ListenStrip::kHeight);
    const int clientTop = top + ListenStrip::kHeight;
    client_->setGeometry(0, clientTop, width(), height() - clientTop - statusHeight);
    status_->setGeometry(0, height() - statusHeight, width(), statusHeight);
    layoutClient();
}

void MainWindow::layoutClient() {
    if (!sheets_) return;  // a resize while the window is still being built
    const int dx = client_->width() - kWidth;
    const int dy = client_->height() - kHeight;
    for (const Anchored& a : anchored_)
        a.widget->setGeometry(a.stretch ? a.at.adjusted(0, 0, dx, 0) : a.at.translated(dx, 0));
    sheets_->setGridGeometry(sheets_->defaultGeometry().adjusted(0, 0, dx, dy));
}

}  // namespace kestra
