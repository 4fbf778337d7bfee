#include "app/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include "app/audio_preview.h"
#include "app/bit_dialog.h"
#include "app/core_actions.h"
#include "app/file_filter.h"
#include "app/header_bar.h"
#include "app/help_texts.h"
#include "app/help_window.h"
#include "app/listen_strip.h"
#include "app/qt_ports.h"
#include "app/sheet_area.h"
#include "app/sheet_captions.h"
#include "app/sheet_model.h"
#include "app/sheet_view.h"
#include "app/up_down.h"
#include "app/upper_case_edit.h"
#include "editing/undoable_edits.h"
#include "format/read_song.h"
#include "model/guard.h"
#include "rom/layout.h"
#include "rom/patch_export.h"
#include "rom/song_table.h"

namespace kestra {
namespace {

constexpr int kHelpRowY = 104;
constexpr int kLabelRowY = 125;
const QRect kGridRect(8, 142, 652, 414);

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

MainWindow::MainWindow(const AppPorts& ports, QWidget* parent) : QWidget(parent) {
    setObjectName("frmMusic");
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    setFont(font);

    // The Help window and the bit dialog are made after the main window, hidden until called.
    helpWindow_ = new HelpWindow(this);
    bitDialog_ = new BitDialog(this);
    if (!ports.messages) ownMessages_ = std::make_unique<QtMessagePort>(this);
    if (!ports.keyboard) ownKeyboard_ = std::make_unique<QtKeyboardPort>();
    if (!ports.files) ownFiles_ = std::make_unique<QtFilePort>(this);
    if (!ports.sound) ownSound_ = std::make_unique<QtSoundPort>();
    if (!ports.saveChanges) ownSaveChanges_ = std::make_unique<QtSaveChangesPort>(this);
    player_ = ports.player ? ports.player : new AudioPreview(this);
    ports_.errors = &doc_.errors;
    ports_.messages = ports.messages ? ports.messages : ownMessages_.get();
    ports_.keyboard = ports.keyboard ? ports.keyboard : ownKeyboard_.get();
    ports_.files = ports.files ? ports.files : ownFiles_.get();
    ports_.bits = ports.bits ? ports.bits : bitDialog_;
    sound_ = ports.sound ? ports.sound : ownSound_.get();
    help_ = ports.help ? ports.help : helpWindow_;

    songFiles_ = std::make_unique<SongFiles>(
        doc_, undo_,
        SongFilePorts{ports_.files, ports_.messages,
                      ports.saveChanges ? ports.saveChanges : ownSaveChanges_.get()});

    // The menu bar and the listening strip go on top; the controls keep their places in the
    // client area below them.
    menu_ = buildMainMenu(this);
    int menuHeight = menu_.bar->sizeHint().height();
    menu_.bar->setGeometry(0, 0, kWidth, menuHeight);
    listen_ = new ListenStrip(this);
    listen_->setGeometry(0, menuHeight, kWidth, ListenStrip::kHeight);
    client_ = new QWidget(this);
    client_->setObjectName("clientArea");
    client_->setGeometry(0, menuHeight + ListenStrip::kHeight, kWidth, kHeight);
    setFixedSize(kWidth, kHeight + menuHeight + ListenStrip::kHeight);

    c_ = buildWindowControls(client_);
    header_ = new HeaderBar(client_, kHelpRowY, kLabelRowY);
    sheets_ = new SheetArea(doc_.sheets, client_, kGridRect);

    doc_.errors.setSound(sound_);
    doc_.errors.onChanged = [this](const std::string& text) { c_.txtImpMess->setText(qs(text)); };

    for (std::string_view name : helpButtonNames()) {
        QString qname = QString::fromLatin1(name.data(), static_cast<int>(name.size()));
        if (auto* button = findChild<QPushButton*>(qname))
            connect(button, &QPushButton::clicked, this, [this, qname] { showHelpFor(qname); });
    }
    connect(c_.btnSelectRom, &QPushButton::clicked, this, &MainWindow::selectFile);
    connect(c_.songIdUpDown, &UpDown::clicked, this, &MainWindow::songIdUpDownClick);
    connect(c_.txtSongID, &QLineEdit::textChanged, this, &MainWindow::songIdChanged);
    connect(c_.btnAddress, &QPushButton::clicked, this, &MainWindow::setAddress);
    connect(c_.btnRead, &QPushButton::clicked, this, &MainWindow::readChannel);
    connect(c_.btnCreateSong, &QPushButton::clicked, this, &MainWindow::createCode);
    connect(c_.btnShow, &QPushButton::clicked, this, &MainWindow::showSong);
    connect(c_.btnAddLines, &QPushButton::clicked, this, &MainWindow::addLines);
    connect(c_.btnRemLine, &QPushButton::clicked, this, &MainWindow::removeLines);
    connect(c_.sheetGroup, &QButtonGroup::idClicked, this, &MainWindow::sheetClick);
    connect(c_.chanGroup, &QButtonGroup::idClicked, this, &MainWindow::channelClick);
    connect(sheets_, &SheetArea::keyDown, this, &MainWindow::sheetKeyDown);
    connect(sheets_, &SheetArea::keyUp, this, &MainWindow::sheetKeyUp);
    connect(sheets_, &SheetArea::doubleClicked, this, &MainWindow::sheetDoubleClicked);
    connect(menu_.undo, &QAction::triggered, this, &MainWindow::undo);
    connect(menu_.redo, &QAction::triggered, this, &MainWindow::redo);
    connect(menu_.openSong, &QAction::triggered, this, &MainWindow::openSong);
    connect(menu_.saveSong, &QAction::triggered, this, &MainWindow::saveSong);
    connect(menu_.saveSongAs, &QAction::triggered, this, &MainWindow::saveSongAs);
    connect(menu_.exportPatch, &QAction::triggered, this, &MainWindow::exportPatchFile);
    connect(menu_.quit, &QAction::triggered, this, &QWidget::close);
    connect(listen_, &ListenStrip::playClicked, this, &MainWindow::play);
    connect(listen_, &ListenStrip::stopClicked, this, &MainWindow::stopPlaying);
    connect(listen_, &ListenStrip::muteChanged, this,
            [this](unsigned mask) { player_->setMutedVoices(mask); });
    connectBlockCommands();

    sheetClick();
    refreshDocumentState();
}

MainWindow::~MainWindow() {
    doc_.errors.onChanged = nullptr;
    player_->stop();
}

SheetView* MainWindow::currentView() const {
    return sheets_->currentView();
}

template <class F>
void MainWindow::runAction(F&& action) {
    runGuarded(ports_.messages, std::forward<F>(action));
    sheets_->refreshAll();
    refreshDocumentState();
}

void MainWindow::refreshDocumentState() {
    setWindowTitle(qs(songFiles_->windowTitle()));
    setWindowModified(undo_.isModified());
    menu_.undo->setEnabled(undo_.canUndo());
    menu_.redo->setEnabled(undo_.canRedo());
    // "Undo Paste": the menu names the step it would take back.
    auto named = [](const char* verb, const std::string& name) {
        return name.empty() ? QString(verb) : QString(verb) + ' ' + qs(name);
    };
    menu_.undo->setText(named("Undo", undo_.undoName()));
    menu_.redo->setText(named("Redo", undo_.redoName()));
}

void MainWindow::selectFile() {
    auto path = ports_.files->chooseFile(kOpenFileTitle, kOpenFileFilter);
    if (!path) return;
    openFile(*path);
}

void MainWindow::openFile(const std::string& path) {
    auto opened = openSongFile(path);
    if (!opened) {
        // Nothing of the file state changes: the earlier file, if any, stays the one worked on.
        doc_.errors.report(opened.error());
        return;
    }
    doc_.file = *opened;
    // What "Export Patch..." compares against; the song of the earlier file stops playing.
    auto bytes = readFileBytes(path);
    openedBytes_ = bytes ? std::optional<Bytes>(std::move(*bytes)) : std::nullopt;
    player_->stop();
    c_.lblLoadedFile->setText(qs(loadedLabel(path)));
    c_.lblSongID->setText(qs(songIdLabel(doc_.file.songCount)));
    c_.lblSongID->adjustSize();
    c_.songIdUpDown->setMaximum(doc_.file.songCount);
    c_.songIdUpDown->setPosition(1);
    c_.txtSongID->setEnabled(true);
    c_.songIdUpDown->setEnabled(true);
    songIdUpDownClick();
}

void MainWindow::songIdUpDownClick() {
    if (!doc_.file.isOpen()) return;
    int songId = c_.songIdUpDown->position();
    QString shown = QString::number(songId);
    if (c_.txtSongID->text() != shown) {
        songIdBusy_ = true;
        c_.txtSongID->setText(shown);
        songIdBusy_ = false;
    }
    c_.lblSongID->setStyleSheet(QString());
    // NSF players count tracks from 0.
    listen_->setTrack(songId - 1);
    auto proposal = proposeSong(doc_.file, songId, doc_.errors);
    if (!proposal) return;
    if (proposal->soundEffect) c_.lblSongID->setStyleSheet("color: red;");
    c_.txtAddress->setText(qs(proposal->addressText));
}

void MainWindow::songIdChanged(const QString& text) {
    // The box's own rewrite below raises this event again; it is ignored.
    if (songIdBusy_ || !doc_.file.isOpen()) return;
    QString cleaned = qs(cleanSongIdText(text.toStdString(), c_.songIdUpDown->maximum()));
    if (cleaned != text) {
        songIdBusy_ = true;
        int caret = c_.txtSongID->cursorPosition();
        c_.txtSongID->setText(cleaned);
        c_.txtSongID->setCursorPosition(std::min(caret, static_cast<int>(cleaned.size())));
        songIdBusy_ = false;
    }
    c_.songIdUpDown->setPosition(cleaned.toInt());
    songIdUpDownClick();
}

void MainWindow::setAddress() {
    std::string text = c_.txtAddress->text().toStdString();
    std::string problem = addressTextProblem(text);
    if (!problem.empty()) {
        ports_.messages->messageBox(kSetAddressTitle, problem);
        return;
    }
    doc_.readWriteAddress = text;
    c_.lblCurAddress->setText(qs("Current Read/Write: $" + text));
}

void MainWindow::readChannel() {
    // Reading replaces the whole song: undone as one step.
    UndoCursor cursor = cursorOf(selection());
    runAction([this, cursor] {
        runRecorded(doc_, undo_, UndoScope::everything(), cursor,
                    [this] { readSongCommand(doc_, ports_.messages); });
    });
}

void MainWindow::createCode() {
    std::string address = c_.txtAddress->text().toStdString();
    int songId = c_.songIdUpDown->position();
    runAction(
        [this, &address, songId] { createCodeCommand(doc_, address, songId, ports_.messages); });
}

void MainWindow::showSong() {
    runAction([this] { showSongCommand(doc_, ports_.messages); });
}

void MainWindow::sheetClick() {
    auto sheet = static_cast<SheetKind>(std::max(0, c_.sheetGroup->checkedId()));
    header_->apply(sheet);
    for (std::string_view name : helpButtonNames()) {
        QString qname = QString::fromLatin1(name.data(), static_cast<int>(name.size()));
        if (auto* button = findChild<QPushButton*>(qname))
            button->setVisible(helpButtonVisible(name, sheet));
    }
    channelClick();
}

void MainWindow::channelClick() {
    doc_.currentChannel = std::max(0, c_.chanGroup->checkedId());
    doc_.currentSheet = static_cast<SheetKind>(std::max(0, c_.sheetGroup->checkedId()));
    sheets_->show(doc_.currentChannel, doc_.currentSheet);
    sheets_->currentView()->setFocus();
}

void MainWindow::showHelpFor(const QString& button) {
    auto text = helpText(button.toStdString(), doc_.currentSheet);
    if (!text) return;
    c_.lblHelper->setText(qs(*text));
    help_->showHelp(*text);
}

Selection MainWindow::selection() const {
    CellSelection cells = currentView()->cellSelection();
    Selection sel;
    sel.sheet = doc_.currentSheet;
    sel.channel = doc_.currentChannel;
    sel.row = cells.top;
    sel.left = cells.left;
    sel.right = cells.right;
    return sel;
}

EditContext MainWindow::editContext() {
    EditContext ctx;
    ctx.keyboard = ports_.keyboard;
    ctx.bits = ports_.bits;
    ctx.messages = ports_.messages;
    ctx.instrumentIndex = c_.cbxInstrument->currentIndex();
    ctx.instrumentCount = c_.cbxInstrument->count();
    return ctx;
}

void MainWindow::applyEdit(const EditResult& result) {
    if (result.rows) {
        const RowsMoved& moved = *result.rows;
        for (SheetKind kind : {SheetKind::Music, SheetKind::Loop, SheetKind::Break}) {
            // Line numbers stay with the rows, so to the views the sheet grows or shrinks at
            // its end and the texts from the place of change on are rewritten.
            SheetModel* model = sheets_->model(moved.channel, kind);
            if (moved.kind == RowsMoved::Kind::Inserted)
                model->rowsInsertedAt(model->rowCount(), moved.count);
            else
                model->rowsRemovedAt(model->rowCount() - moved.count, moved.count);
            model->rowsChanged(moved.at, model->rowCount() - 1);
        }
    }
    for (const ChangedRows& rows : result.changed)
        sheets_->model(rows.channel, rows.sheet)->rowsChanged(rows.firstRow, rows.lastRow);
    if (result.selection) {
        const Selection& sel = *result.selection;
        sheets_->view(sel.channel, sel.sheet)->selectRange(sel.row, sel.left, sel.row, sel.right);
    }
    refreshDocumentState();
}

void MainWindow::sheetKeyDown(int key) {
    kestra::keyDown(doc_, key);
}

void MainWindow::sheetKeyUp(int) {
    Selection sel = selection();
    EditContext ctx = editContext();
    EditResult result;
    runGuarded(ports_.messages, [&] { result = undoableKeyUp(doc_, undo_, sel, ctx); });
    applyEdit(result);
}

void MainWindow::sheetDoubleClicked() {
    Selection sel = selection();
    EditContext ctx = editContext();
    EditResult result;
    runGuarded(ports_.messages, [&] { result = undoableDoubleClick(doc_, undo_, sel, ctx); });
    applyEdit(result);
}

void MainWindow::addLines() {
    Selection sel = selection();
    auto where = static_cast<AddWhere>(std::max(0, c_.befAftGroup->checkedId()));
    std::string count = c_.txtNbLineAdd->text().toStdString();
    EditResult result;
    runGuarded(ports_.messages,
               [&] { result = undoableAddLines(doc_, undo_, sel, count, where, ports_.messages); });
    applyEdit(result);
    sheets_->refreshAll();
}

void MainWindow::removeLines() {
    Selection sel = selection();
    std::string count = c_.txtNbLineAdd->text().toStdString();
    EditResult result;
    runGuarded(ports_.messages,
               [&] { result = undoableRemoveLines(doc_, undo_, sel, count, ports_.messages); });
    applyEdit(result);
    sheets_->refreshAll();
}

void MainWindow::undo() {
    applyUndo(undo_.undo(doc_.sheets, doc_.frames, &doc_.readMemory));
}

void MainWindow::redo() {
    applyUndo(undo_.redo(doc_.sheets, doc_.frames, &doc_.readMemory));
}

void MainWindow::applyUndo(const std::optional<UndoOutcome>& outcome) {
    refreshDocumentState();
    if (!outcome) return;
    currentView()->clearLines();
    sheets_->refreshAll();
    const UndoCursor& at = outcome->cursor;
    if (at.channel == doc_.currentChannel && at.sheet == doc_.currentSheet)
        currentView()->restoreCell(at.row, at.column);
}

void MainWindow::openSong() {
    songFiles_->open(cursorOf(selection()));
    sheets_->refreshAll();
    refreshDocumentState();
}

void MainWindow::saveSong() {
    songFiles_->save();
    refreshDocumentState();
}

void MainWindow::saveSongAs() {
    songFiles_->saveAs();
    refreshDocumentState();
}

void MainWindow::exportPatchFile() {
    if (!doc_.file.isOpen() || !openedBytes_) {
        ports_.messages->messageBox(kExportPatchTitle, kSelectFileFirst);
        return;
    }
    exportPatch(*openedBytes_, doc_.file, *ports_.files, *ports_.messages);
}

void MainWindow::play() {
    if (!doc_.file.isOpen()) {
        ports_.messages->messageBox(kListenTitle, kSelectFileFirst);
        return;
    }
    // Read again at each press: after "Create Code" the patched file is what plays.
    auto bytes = readFileBytes(doc_.file.path);
    if (!bytes) {
        ports_.messages->messageBox(kListenTitle, bytes.error());
        return;
    }
    if (auto err = player_->play(*bytes, listen_->track(), listen_->muteMask()))
        ports_.messages->messageBox(kListenTitle, *err);
}

void MainWindow::stopPlaying() {
    player_->stop();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!songFiles_->mayClose()) {
        event->ignore();
        return;
    }
    player_->stop();
    event->accept();
}

}  // namespace kestra
