// Runs every registered Qt Test class in one program.
#include <QApplication>

#include "fakes.h"

int main(int argc, char** argv) {
    // The window keeps recent files and dialog folders in its settings: the tests keep theirs
    // in a folder of their own, never in the user's.
    QTemporaryDir config;
    if (!config.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QCoreApplication::setOrganizationName("kestramusiceditor-tests");
    QCoreApplication::setApplicationName("kestra-gui-tests");
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto& make : kestra::testing::guiTestRegistry()) {
        auto test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
