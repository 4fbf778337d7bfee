// The editor program: `kestra [FILE]` opens FILE as if chosen with "Select File".
// Hidden flags for scripts: --quit-when-shown prints the time to the first shown window and
// quits; --screenshot PNG opens FILE, reads the song at its first Song ID, saves a picture of
// the window and quits (questions are answered Yes, boxes go to standard error).
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"

namespace {

class ScriptMessages : public kestra::MessagePort {
  public:
    void messageBox(const std::string& title, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    bool confirm(const std::string&, const std::string&) override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kestra Music Editor");
    QApplication::setApplicationVersion("0.1");

    QStringList args = QApplication::arguments();
    args.removeFirst();
    bool reportShown = args.removeAll("--quit-when-shown") > 0;
    QString screenshot;
    if (int at = static_cast<int>(args.indexOf("--screenshot")); at >= 0 && at + 1 < args.size()) {
        screenshot = args.at(at + 1);
        args.remove(at, 2);
    }
    QString file;
    for (const QString& arg : args)
        if (!arg.startsWith("--")) file = arg;

    ScriptMessages scriptMessages;
    kestra::AppPorts ports;
    if (!screenshot.isEmpty()) ports.messages = &scriptMessages;
    kestra::MainWindow window(ports);
    window.show();
    if (!file.isEmpty()) window.openFile(file.toStdString());
    if (reportShown) {
        QTimer::singleShot(0, &app, [&] {
            std::printf("window shown after %lld ms\n",
                        static_cast<long long>(sinceStart.elapsed()));
            app.quit();
        });
    }
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(200, &app, [&] {
            window.controls().btnAddress->click();
            window.controls().btnRead->click();
            QApplication::processEvents();
            bool saved = window.grab().save(screenshot, "PNG");
            std::fprintf(stderr, saved ? "saved %s\n" : "cannot save %s\n",
                         screenshot.toLocal8Bit().constData());
            app.exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
