// The editor under files it cannot use: each is refused with a clear message, the file is left
// as it was, and every command in every order still works before and after.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "fakes.h"

namespace kestra::testing {

class HostileFilesTest : public WindowTest {
    Q_OBJECT

  private:
    // The message box tells `expected`.
    void expectMessage(const QString& expected) {
        const QString shown = message(*window());
        QVERIFY2(shown.contains(expected), qPrintable("message: " + shown));
    }

    // Everything the user can press, type or click, by name.
    std::vector<std::pair<const char*, std::function<void()>>> commands() {
        MainWindow* w = window();
        const WindowControls* c = &w->controls();
        auto key = [w](Qt::Key k, int col) {
            return [w, k, col] {
                SheetView* view = w->currentView();
                view->selectCell(0, std::min(col, view->model()->columnCount() - 1));
                QTest::keyClick(view, k);
            };
        };
        auto next = [](QButtonGroup* group, int count) {
            group->button((std::max(0, group->checkedId()) + 1) % count)->click();
        };
        auto click = [](QAbstractButton* b) { return [b] { b->click(); }; };
        auto count = [c](const char* n, QAbstractButton* b) {
            return [c, n, b] {
                c->txtNbLineAdd->setText(n);
                b->click();
            };
        };
        return {
            {"Select File, cancelled", click(c->btnSelectRom)},
            {"Song ID up",
             [w, c] {
                 c->songIdUpDown->setPosition(c->songIdUpDown->position() + 1);
                 w->songIdUpDownClick();
             }},
            {"Song ID typed", [c] { c->txtSongID->setText("7"); }},
            {"Address", click(c->btnAddress)},
            {"Read Channel", click(c->btnRead)},
            {"Show Song", click(c->btnShow)},
            {"Create Code", click(c->btnCreateSong)},
            {"Find place", click(c->btnFindPlace)},
            {"Add lines", count("2", c->btnAddLines)},
            {"Remove Line", count("1", c->btnRemLine)},
            {"next channel", [c, next] { next(c->chanGroup, 4); }},
            {"next sheet", [c, next] { next(c->sheetGroup, 5); }},
            {"Enter on the note", key(Qt::Key_Return, 3)},
            {"C on the note", key(Qt::Key_C, 3)},
            {"Delete on the flag", key(Qt::Key_Delete, 10)},
        };
    }

    // Every command followed by every command: each ordered pair once.
    void pressEveryPair() {
        auto list = commands();
        for (auto& first : list)
            for (auto& second : list) {
                first.second();
                second.second();
            }
        // Back to a known view for whatever follows.
        window()->controls().chanGroup->button(0)->click();
        window()->controls().sheetGroup->button(0)->click();
    }

    // The editor goes on: a good file still opens, and its song is read and shown.
    void editorGoesOn() {
        MainWindow& w = openAndRead(*window(), writeFixture("good.nsf", Layout::Nsf), 1);
        QVERIFY(w.currentView()->model()->rowCount() > 1);
        w.controls().btnShow->click();
    }

    // Opens path (through "Select File"), expects `expected` in the message box, and presses
    // every command before and after.
    void openHostile(const std::string& file, const QString& expected) {
        MainWindow& w = fresh();
        pressEveryPair();
        fakes_->files.next = file;
        w.controls().btnSelectRom->click();
        fakes_->files.next.reset();
        expectMessage(expected);
        QVERIFY(!w.document().file.isOpen());
        pressEveryPair();
        editorGoesOn();
    }

  private slots:
    // Each is refused with its message; the unreadable file is made so also for the super-user
    // where a write-only kernel attribute is found to stand in for it.
    void refusedFiles() {
        auto built = fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs());
        Bytes cutTable = built.bytes;
        cutTable[built.songTableBase - 1] = 0xFF;  // 255 songs: the table runs past the end
        cutTable.resize(built.songTableBase + 20);
        std::filesystem::create_directories(path("folder.nes"));
        const std::string pipe = path("pipe.nsf");  // opened for reading it would wait forever
        QCOMPARE(::mkfifo(pipe.c_str(), 0644), 0);
        const std::string unreadable = writeFile("unreadable.nsf", built.bytes);
        QCOMPARE(::chmod(unreadable.c_str(), 0), 0);
        const bool unreadableHolds =
            ::access(unreadable.c_str(), R_OK) != 0 || ::access("/sys/bus/pci/rescan", F_OK) == 0;
        if (::access(unreadable.c_str(), R_OK) == 0 && unreadableHolds) {
            std::filesystem::remove(unreadable);
            std::filesystem::create_symlink("/sys/bus/pci/rescan", unreadable);
        }
        const std::pair<std::string, QString> cases[] = {
            {writeFile("empty.nsf", {}), "too short to be an NSF file"},
            {path("folder.nes"), "is a folder, not a file"},
            {pipe, "is not a regular file"},
            {writeFile("table.nsf", cutTable), "The file ends before offset"},
            {unreadable, "for reading"},
        };
        for (const auto& [file, message] : cases)
            if (file != unreadable || unreadableHolds) openHostile(file, message);
    }

    void songsOutsideTheFile() {
        // The header and table are whole, the songs they point to are cut off.
        auto built = fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs());
        Bytes bytes = built.bytes;
        bytes.resize(built.dataStart);
        std::string file = writeFile("cut.nsf", bytes);
        MainWindow& w = fresh();
        pressEveryPair();
        w.openFile(file);
        QVERIFY(w.document().file.isOpen());
        // Song ID 1 proposes no address: its header lies past the end.
        expectMessage("leads outside the file");
        w.controls().txtAddress->setText(
            QString::fromStdString(offsetText(built.songs[0].headerOffset)));
        w.controls().btnAddress->click();
        w.controls().btnRead->click();
        expectMessage("The file ends before offset");
        QCOMPARE(w.currentView()->model()->rowCount(), 1);
        pressEveryPair();
        QCOMPARE(onDisk(file).size(), bytes.size());  // never extended
        editorGoesOn();
    }

    void fourMegabyteFile() {
        // A large file: an NSF with 4 MB of padding behind its data opens, reads and writes in
        // place, never growing.
        auto built = fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs());
        Bytes bytes = built.bytes;
        bytes.resize(4u << 20, 0);
        std::string file = writeFile("large.nsf", bytes);
        MainWindow& w = openAndRead(fresh(), file, 1);
        QVERIFY(w.currentView()->model()->rowCount() > 1);
        pressEveryPair();
        QCOMPARE(onDisk(file).size(), bytes.size());

        // And a 4 MB file of nothing is refused.
        openHostile(writeFile("noise.nes", Bytes(4u << 20, 0x4E)), "no iNES header");
    }

    void readOnlyFileForCreateCode() {
        auto built = fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs());
        std::string file = writeFile("readonly.nsf", built.bytes);
        MainWindow& w = openAndRead(fresh(), file);
        QVERIFY(w.currentView()->model()->rowCount() > 1);
        QCOMPARE(::chmod(file.c_str(), 0444), 0);
        w.controls().btnCreateSong->click();
        expectMessage("it is read-only");
        pressEveryPair();
        QVERIFY(onDisk(file) == built.bytes);
        QVERIFY(!std::filesystem::exists(file + ".bak"));
        ::chmod(file.c_str(), 0644);
        editorGoesOn();
    }
};

static RegisterGuiTest<HostileFilesTest> registerHostileFiles;

}  // namespace kestra::testing

#include "hostile_files_test.moc"
