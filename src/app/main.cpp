// The editor program: `kestra [FILE]` opens FILE by its kind (an NES/NSF file as "Select File"
// does, a song file as "Open Song..." does). Hidden options for scripts: --quit-when-shown
// prints the time to the first shown window and quits; --screenshot PNG opens FILE, reads the
// song at its first Song ID, saves a picture of the window and quits (questions are answered
// Yes, boxes go to standard error).
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "model/heap_tuning.h"
#include "app/main_window.h"

namespace {

class ScriptMessages : public kestra::MessagePort {
  public:
    void messageBox(const std::string& title, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    bool confirm(const std::string&, const std::string&) override { return true; }
};

struct Options {
    bool reportShown = false;
    QString screenshot;
    QString file;
};

// Parsed before the application exists, so that --help and --version work without a display.
// Returns the exit status when the program should end at once.
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Song editor for the music of an NES sound driver in NES cartridge images and NSF files.");
    parser.addPositionalArgument("FILE", "An NES or NSF file, or a .ksong song file, to open.",
                                 "[FILE]");
    QCommandLineOption help({"h", "help"}, "Show this help and exit.");
    QCommandLineOption version("version", "Show the version and exit.");
    QCommandLineOption quitWhenShown("quit-when-shown");
    quitWhenShown.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption screenshot("screenshot", "", "PNG");
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, quitWhenShown, screenshot});

    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(args)) {
        std::fprintf(stderr, "kestra: %s\nTry 'kestra --help'.\n",
                     parser.errorText().toLocal8Bit().constData());
        return 2;
    }
    if (parser.isSet(help)) {
        // Without an application object Qt cannot name the program itself.
        QString text = parser.helpText().replace("<executable_name>", "kestra");
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    if (parser.isSet(version)) {
        std::printf("kestra %s\n", KESTRA_VERSION);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("kestra: one FILE at most\nTry 'kestra --help'.\n", stderr);
        return 2;
    }
    options.reportShown = parser.isSet(quitWhenShown);
    options.screenshot = parser.value(screenshot);
    if (!files.isEmpty()) options.file = files.first();
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QCoreApplication::setOrganizationName("kestramusiceditor");
    QCoreApplication::setOrganizationDomain("kestramusiceditor.github.io");
    QCoreApplication::setApplicationName("kestra");
    QCoreApplication::setApplicationVersion(KESTRA_VERSION);
    Options options;
    if (auto status = parseOptions(argc, argv, options)) return *status;

    kestra::keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName("io.github.kestramusiceditor.Kestra");

    ScriptMessages scriptMessages;
    kestra::AppPorts ports;
    const bool scripted = !options.screenshot.isEmpty();
    if (scripted) ports.messages = &scriptMessages;
    kestra::MainWindow window(ports);
    QSettings settings;
    // A script's picture is always taken at the default size.
    if (!scripted && !window.restoreGeometry(settings.value("window/geometry").toByteArray())) {
        // The default size, made smaller where the screen is (a large scale on a small screen).
        const QRect screen = window.screen()->availableGeometry();
        window.resize(window.size().boundedTo(screen.size() - QSize(0, 32)));
    }
    window.show();
    if (!options.file.isEmpty()) window.openAnyFile(options.file);
    if (options.reportShown) {
        QTimer::singleShot(0, &app, [&] {
            std::printf("window shown after %lld ms\n",
                        static_cast<long long>(sinceStart.elapsed()));
            app.quit();
        });
    }
    if (scripted) {
        QTimer::singleShot(200, &app, [&] {
            window.controls().btnAddress->click();
            window.controls().btnRead->click();
            QApplication::processEvents();
            bool saved = window.grab().save(options.screenshot, "PNG");
            std::fprintf(stderr, saved ? "saved %s\n" : "cannot save %s\n",
                         options.screenshot.toLocal8Bit().constData());
            app.exit(saved ? 0 : 1);
        });
    }
    int status = QApplication::exec();
    if (!scripted && !options.reportShown)
        settings.setValue("window/geometry", window.saveGeometry());
    return status;
}
