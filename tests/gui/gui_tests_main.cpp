// Runs every registered Qt Test class in one program.
#include <QApplication>
#include <QTest>

#include "gui_test_registry.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto& make : kestra::testing::guiTestRegistry()) {
        auto test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
