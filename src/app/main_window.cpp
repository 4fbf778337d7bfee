#include "app/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <filesystem>

#include "app/audio_preview.h"
#include "app/bit_dialog.h"
#include "app/core_actions.h"
#include "app/file_filter.h"
#include "app/header_bar.h"
#include "app/help_texts.h"
#include "app/help_window.h"
#include "app/listen_strip.h"
#include "app/message_log.h"
#include "app/qt_ports.h"
#include "app/sheet_area.h"
#include "app/sheet_captions.h"
#include "app/sheet_model.h"
#include "app/sheet_view.h"
#include "app/up_down.h"
#include "app/upper_case_edit.h"
#include "editing/undoable_edits.h"
#include "format/read_song.h"
#include "model/atomic_write.h"
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
    status_ = new QStatusBar(this);
    status_->setObjectName("statusBar");
    status_->setSizeGripEnabled(true);
    const int statusHeight = status_->sizeHint().height();
    const int around = menuHeight + ListenStrip::kHeight + statusHeight;
    setMinimumSize(kWidth, kMinHeight + around);
    resize(kWidth, kHeight + around);

    c_ = buildWindowControls(client_);
    header_ = new HeaderBar(client_, kHelpRowY, kLabelRowY);
    sheets_ = new SheetArea(doc_.sheets, client_, kGridRect);

    doc_.errors.setSound(sound_);
    doc_.errors.onChanged = [this](const std::string& text) { messageChanged(text); };

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
    connect(c_.btnFindPlace, &QPushButton::clicked, this, &MainWindow::findPlace);
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
    connect(menu_.openFile, &QAction::triggered, this, &MainWindow::selectFile);
    connectListening();
    connectBlockCommands();
    setupDesktop();

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
    startAction();
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
    startAction();
    auto opened = openSongFile(path);
    if (!opened) {
        // Nothing of the file state changes: the earlier file, if any, stays the one worked on.
        doc_.errors.report(opened.error());
        report("Not opened: " + qs(opened.error()));
        return;
    }
    doc_.file = *opened;
    // What "Export Patch..." compares against: the file as before its first write when a
    // backup of it is kept (so that a patch after a restart holds every change), else the file
    // as it is now. The song of the earlier file stops playing.
    auto bytes = readFileBytes(path);
    auto base = readFileBytes(backupPathOf(path));
    const bool fromBackup = static_cast<bool>(base);
    if (!base) base = std::move(bytes);
    openedBytes_ = base ? std::optional<Bytes>(std::move(*base)) : std::nullopt;
    stopPlaying();
    const bool nsf = doc_.file.layout == Layout::Nsf;
    // The NSF header's track count, at byte 6.
    int tracks = nsf && openedBytes_ && openedBytes_->size() > 6 ? (*openedBytes_)[6] : 0;
    listen_->setPlayable(nsf, std::max(1, tracks));
    rememberFile(path);
    QString name = qs(std::filesystem::path(path).filename().string());
    report(QString("Opened %1: %2, %3 songs%4")
               .arg(name, nsf ? "NSF" : "NES ROM", QString::number(doc_.file.songCount),
                    fromBackup ? "; Export Patch compares with its .bak" : ""));
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
    report(qs("Read/write address set to $" + text));
}

void MainWindow::readChannel() {
    // Reading replaces the whole song: undone as one step.
    UndoCursor cursor = cursorOf(selection());
    bool read = false;
    runAction([this, cursor, &read] {
        runRecorded(
            doc_, undo_, UndoScope::everything(), cursor,
            [this, &read] { read = readSongCommand(doc_, ports_.messages); }, "Read Channel");
    });
    int channels = 0;
    long long lines = 0;
    for (const auto& channel : doc_.memory())
        if (channel) {
            ++channels;
            lines += static_cast<long long>(channel->lines.size());
        }
    const QLocale english(QLocale::English);
    reportOutcome(read ? QString("Read %1 channel%2, %3 lines")
                             .arg(channels)
                             .arg(channels == 1 ? "" : "s")
                             .arg(english.toString(lines))
                       : QString(),
                  "Nothing read");
}

void MainWindow::createCode() {
    std::string address = c_.txtAddress->text().toStdString();
    int songId = c_.songIdUpDown->position();
    bool mayGrow = found_ && found_->grows && found_->path == doc_.file.path &&
                   found_->songId == songId && found_->address == address;
    CodeWritten written;
    bool done = false;
    runAction([&] {
        done = createCodeCommand(doc_, address, songId, ports_.messages, mayGrow, &written);
    });
    const QLocale english(QLocale::English);
    QString backup = qs(std::filesystem::path(written.backupPath).filename().string());
    reportOutcome(
        done ? QString("Song %1 written at $%2: %3 bytes; backup: %4")
                   .arg(songId)
                   .arg(QString("%1").arg(written.headerOffset, 5, 16, QChar('0')).toUpper())
                   .arg(english.toString(static_cast<qulonglong>(written.songBytes)), backup)
             : QString(),
        "Nothing written");
}

void MainWindow::findPlace() {
    int songId = c_.songIdUpDown->position();
    runAction([this, songId] {
        auto place = findPlaceCommand(doc_, songId, ports_.messages);
        if (!place) return;
        found_ =
            FoundPlace{doc_.file.path, songId, offsetText(place->headerOffset), place->growBy > 0};
        c_.txtAddress->setText(qs(found_->address));
        ports_.messages->messageBox("Find place", placeExplanation(*place));
    });
}

void MainWindow::showSong() {
    runAction([this] { showSongCommand(doc_, ports_.messages); });
    reportOutcome("Song shown in MySong and FourChan", "Song not shown");
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
    if (undo_.recorded() != recordedBefore_) {
        QString name = qs(undo_.undoName());
        report(name.isEmpty() ? QString("Changed") : name);
    } else if (!actionMessages_.isEmpty()) {
        report("Not done: " + actionMessages_.last());
    }
    for (const ChangedRows& rows : result.changed)
        sheets_->model(rows.channel, rows.sheet)->rowsChanged(rows.firstRow, rows.lastRow);
    if (result.selection) {
        const Selection& sel = *result.selection;
        sheets_->view(sel.channel, sel.sheet)->selectRange(sel.row, sel.left, sel.row, sel.right);
    }
    refreshDocumentState();
}

void MainWindow::sheetKeyDown(int key, bool shift) {
    kestra::keyDown(doc_, key);
    if (ownKeyboard_ && key != kKeyShift && key != kKeyControl && key != kKeyAlt)
        ownKeyboard_->rememberShift(shift);
}

void MainWindow::sheetKeyUp(int) {
    startAction();
    Selection sel = selection();
    EditContext ctx = editContext();
    EditResult result;
    runGuarded(ports_.messages, [&] { result = undoableKeyUp(doc_, undo_, sel, ctx); });
    applyEdit(result);
}

void MainWindow::sheetDoubleClicked() {
    startAction();
    Selection sel = selection();
    EditContext ctx = editContext();
    EditResult result;
    runGuarded(ports_.messages, [&] { result = undoableDoubleClick(doc_, undo_, sel, ctx); });
    applyEdit(result);
}

void MainWindow::addLines() {
    startAction();
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
    startAction();
    Selection sel = selection();
    std::string count = c_.txtNbLineAdd->text().toStdString();
    EditResult result;
    runGuarded(ports_.messages,
               [&] { result = undoableRemoveLines(doc_, undo_, sel, count, ports_.messages); });
    applyEdit(result);
    sheets_->refreshAll();
}

void MainWindow::undo() {
    QString name = qs(undo_.undoName());
    bool done = applyUndo(undo_.undo(doc_.sheets, doc_.frames, &doc_.readMemory));
    report(done ? (name.isEmpty() ? QString("Undone") : "Undo: " + name) : "Nothing to undo");
}

void MainWindow::redo() {
    QString name = qs(undo_.redoName());
    bool done = applyUndo(undo_.redo(doc_.sheets, doc_.frames, &doc_.readMemory));
    report(done ? (name.isEmpty() ? QString("Redone") : "Redo: " + name) : "Nothing to redo");
}

bool MainWindow::applyUndo(const std::optional<UndoOutcome>& outcome) {
    refreshDocumentState();
    if (!outcome) return false;
    currentView()->clearLines();
    sheets_->refreshAll();
    const UndoCursor& at = outcome->cursor;
    if (at.channel == doc_.currentChannel && at.sheet == doc_.currentSheet)
        currentView()->restoreCell(at.row, at.column);
    return true;
}

void MainWindow::openSong() {
    startAction();
    bool opened = songFiles_->open(cursorOf(selection()));
    sheets_->refreshAll();
    refreshDocumentState();
    if (opened) rememberFile(songFiles_->path());
    report(opened ? "Song file opened: " + qs(songFiles_->path()) : "No song file opened");
}

void MainWindow::saveSong() {
    bool saved = songFiles_->save();
    refreshDocumentState();
    if (saved) rememberFile(songFiles_->path());
    report(saved ? "Song file saved" : "Song file not saved");
}

void MainWindow::saveSongAs() {
    bool saved = songFiles_->saveAs();
    refreshDocumentState();
    if (saved) rememberFile(songFiles_->path());
    report(saved ? "Song file saved as " + qs(songFiles_->path()) : "Song file not saved");
}

void MainWindow::exportPatchFile() {
    if (!doc_.file.isOpen() || !openedBytes_) {
        ports_.messages->messageBox(kExportPatchTitle, kSelectFileFirst);
        return;
    }
    bool exported = exportPatch(*openedBytes_, doc_.file, *ports_.files, *ports_.messages);
    report(exported ? "Patch exported" : "No patch exported");
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!songFiles_->mayClose()) {
        event->ignore();
        return;
    }
    stopPlaying();
    event->accept();
}

}  // namespace kestra
