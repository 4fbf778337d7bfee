// The main window: the grids, the header row and the controls over one core Document. Each
// handler turns a user event into a call of the core and then shows what changed.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "app/main_menu.h"
#include "app/qt_ports.h"
#include "app/window_controls.h"
#include "editing/sheet_editing.h"
#include "editing/song_file_actions.h"
#include "listen/driver_timeline.h"
#include "listen/sheet_playback.h"
#include "model/document.h"
#include "model/undo_history.h"
#include "rom/file_bytes.h"

class QTimer;

namespace kestra {

class BitDialog;
struct BlockResult;
class HeaderBar;
class HelpPort;
class HelpWindow;
class ListenStrip;
class PreviewPort;
class SheetArea;
class SheetView;

// Replacements for the Qt implementations of the ports (tests put recorders here); any left
// null gets the real one.
struct AppPorts {
    MessagePort* messages = nullptr;
    BitDialogPort* bits = nullptr;
    KeyboardPort* keyboard = nullptr;
    FilePort* files = nullptr;
    SoundPort* sound = nullptr;
    HelpPort* help = nullptr;
    SaveChangesPort* saveChanges = nullptr;
    PreviewPort* player = nullptr;
};

class MainWindow : public QWidget {
    Q_OBJECT

  public:
    // The client area under the menu bar and the listening strip.
    static constexpr int kWidth = 801;
    static constexpr int kHeight = 564;

    explicit MainWindow(const AppPorts& ports = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& document() { return doc_; }
    UndoHistory& undoHistory() { return undo_; }
    const WindowControls& controls() const { return c_; }
    const MenuActions& menu() const { return menu_; }
    ListenStrip& listenStrip() { return *listen_; }
    SongFiles& songFiles() { return *songFiles_; }
    // The widget that holds the controls, placed under the menu bar and the listening strip.
    QWidget* clientArea() const { return client_; }
    SheetArea& sheets() { return *sheets_; }
    SheetView* currentView() const;
    // Opens path as "Select File" does once a name is chosen.
    void openFile(const std::string& path);

  public slots:
    void selectFile();
    void songIdUpDownClick();
    void setAddress();
    void readChannel();
    void createCode();
    // Fills the address box with a place for the song and says where, why, and whether the
    // file grows.
    void findPlace();
    void showSong();
    void sheetClick();
    void channelClick();
    void showHelpFor(const QString& button);
    // Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y.
    void undo();
    void redo();
    void openSong();
    void saveSong();
    void saveSongAs();
    void exportPatchFile();
    // Listening (main_window_listen.cpp). play: the sheets as they stand, written in memory only
    // (file: the file as it is on disk); playFromLine: from the first time the selected line of
    // the sheet shown plays.
    void play(bool file = false);
    void playFromLine();
    void stopPlaying();
    // Marks the line now playing in the sheet shown (called on a timer while playing).
    void followPlayback();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void songIdChanged(const QString& text);
    void sheetKeyDown(int key, bool shift);
    void sheetKeyUp(int key);
    void sheetDoubleClicked();
    void addLines();
    void removeLines();
    // The block commands on whole lines and the system clipboard (main_window_blocks.cpp).
    void connectBlockCommands();
    void copySelectedLines();
    void cutSelectedLines();
    void pasteLinesHere(bool over);
    void transposeSelected(int semitones);
    void applyBlock(const BlockResult& result);
    // The selection of the grid shown, as the editing core takes it.
    Selection selection() const;
    EditContext editContext();
    // Tells the models and the view what an edit changed.
    void applyEdit(const EditResult& result);
    // Shows the sheets as an undo or redo left them, with the cursor where it was.
    void applyUndo(const std::optional<UndoOutcome>& outcome);
    // Runs a core action so that damaged cell text stops it with a message, then shows the
    // sheets as the core left them.
    template <class F>
    void runAction(F&& action);
    // The title, the modified mark and the Undo/Redo enablement as the history stands.
    void refreshDocumentState();
    void connectListening();
    // What Play would play now, or nothing after a message.
    std::optional<listen::PlayableSong> playable(bool file);
    void startPlaying(listen::PlayableSong song, long long startMs);
    // When each line of the song playing starts, worked out beside the sound.
    void computeTimeline(const listen::PlayableSong& song, int track);

    Document doc_;
    UndoHistory undo_;
    std::unique_ptr<MessagePort> ownMessages_;
    std::unique_ptr<QtKeyboardPort> ownKeyboard_;
    std::unique_ptr<FilePort> ownFiles_;
    std::unique_ptr<SoundPort> ownSound_;
    std::unique_ptr<SaveChangesPort> ownSaveChanges_;
    std::unique_ptr<SongFiles> songFiles_;
    Ports ports_;
    SoundPort* sound_ = nullptr;
    HelpPort* help_ = nullptr;
    PreviewPort* player_ = nullptr;
    // The opened file's bytes as they were when it was selected: what "Export Patch..." diffs.
    std::optional<Bytes> openedBytes_;
    HelpWindow* helpWindow_ = nullptr;
    BitDialog* bitDialog_ = nullptr;
    MenuActions menu_;
    ListenStrip* listen_ = nullptr;
    QWidget* client_ = nullptr;
    WindowControls c_;
    HeaderBar* header_ = nullptr;
    SheetArea* sheets_ = nullptr;
    bool songIdBusy_ = false;
    QTimer* followTimer_ = nullptr;
    // The timeline of the song playing, once worked out; a newer Play drops an older one.
    std::shared_ptr<const listen::Timeline> timeline_;
    int playGeneration_ = 0;
    // The last place "Find place" chose, as its address text: the one address at which
    // "Create Code" may make an NSF longer.
    struct FoundPlace {
        std::string path;
        int songId = 0;
        std::string address;
        bool grows = false;
    };
    std::optional<FoundPlace> found_;
};

}  // namespace kestra
