// The main window: the grids, the header row and the controls over one core Document. Each
// handler turns a user event into a call of the core and then shows what changed.
#pragma once

#include <QRect>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "app/main_menu.h"
#include "app/qt_ports.h"
#include "app/recent_files.h"
#include "app/window_controls.h"
#include "editing/sheet_editing.h"
#include "editing/song_file_actions.h"
#include "listen/driver_timeline.h"
#include "listen/sheet_playback.h"
#include "model/document.h"
#include "model/undo_history.h"
#include "rom/file_bytes.h"

class QTimer;
class QStatusBar;

namespace kestra {

class BitDialog;
struct BlockResult;
class HeaderBar;
class HelpPort;
class HelpWindow;
class ListenStrip;
class MessageLog;
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
    // The client area under the menu bar and the listening strip, at the window's default size;
    // the window may grow, and shrink to kMinHeight (the grid shows fewer lines).
    static constexpr int kWidth = 801;
    static constexpr int kHeight = 564;
    static constexpr int kMinHeight = 450;

    explicit MainWindow(const AppPorts& ports = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& document() { return doc_; }
    const WindowControls& controls() const { return c_; }
    const MenuActions& menu() const { return menu_; }
    ListenStrip& listenStrip() { return *listen_; }
    SongFiles& songFiles() { return *songFiles_; }
    // The widget that holds the controls, placed under the menu bar and the listening strip.
    QWidget* clientArea() const { return client_; }
    QStatusBar* statusBar() const { return status_; }
    MessageLog& messageLog() { return *log_; }
    RecentFiles& recentFiles() { return recent_; }
    SheetArea& sheets() { return *sheets_; }
    SheetView* currentView() const;
    // Opens path as "Select File" does once a name is chosen.
    void openFile(const std::string& path);
    // Opens an NES/NSF file or a song file by its kind (command line, drops, recent files).
    bool openAnyFile(const QString& path);

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
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
    // False when there was nothing to undo or redo.
    bool applyUndo(const std::optional<UndoOutcome>& outcome);
    // Runs a core action so that damaged cell text stops it with a message, then shows the
    // sheets as the core left them.
    template <class F>
    void runAction(F&& action);
    // The title, the modified mark and the Undo/Redo enablement as the history stands.
    void refreshDocumentState();
    void connectListening();
    // What Play would play now, or nothing after a message.
    std::optional<listen::PlayableSong> playable(bool file);
    bool startPlaying(listen::PlayableSong song, long long startMs);
    // When each line of the song playing starts, worked out beside the sound.
    void computeTimeline(const listen::PlayableSong& song, int track);
    // The desktop side of the window (main_window_desktop.cpp): the status line, the message
    // log, recent files and the layout that follows the window's size.
    void setupDesktop();
    void report(const QString& text);
    // The status after a command that may have reported into the "Important message" box.
    void reportOutcome(const QString& done, const QString& failed);
    void messageChanged(const std::string& text);
    void startAction();
    void rememberFile(const std::string& path);
    void rebuildRecentMenu();
    void openRecent(const QString& path);
    void layoutClient();

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
    QStatusBar* status_ = nullptr;
    MessageLog* log_ = nullptr;
    RecentFiles recent_;
    // The messages of the action under way, all shown in the box's tooltip.
    QStringList actionMessages_;
    // The history's count of steps when the action began: an edit that added one is reported.
    std::uint64_t recordedBefore_ = 0;
    // The client's widgets that follow the grid's right edge (or stretch with it), by their
    // places at the default size.
    struct Anchored {
        QWidget* widget;
        QRect at;
        bool stretch;
    };
    std::vector<Anchored> anchored_;
};

}  // namespace kestra
