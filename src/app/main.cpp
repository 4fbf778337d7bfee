// The editor program: `kestra [FILE]` opens FILE as if chosen with "Select File".
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kestra Music Editor");
    QApplication::setApplicationVersion("0.1");

    QStringList args = QApplication::arguments();
    args.removeFirst();
    bool reportShown = args.removeAll("--quit-when-shown") > 0;
    QString file;
    for (const QString& arg : args)
        if (!arg.startsWith("--")) file = arg;

    kestra::MainWindow window;
    window.show();
    if (!file.isEmpty()) window.openFile(file.toStdString());
    if (reportShown) {
        QTimer::singleShot(0, &app, [&] {
            std::printf("window shown after %lld ms\n",
                        static_cast<long long>(sinceStart.elapsed()));
            app.quit();
        });
    }
    return QApplication::exec();
}
