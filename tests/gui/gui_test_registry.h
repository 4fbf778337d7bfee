// The Qt Test classes of the GUI test program: each file registers its class here.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace kestra::testing {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<TestFactory>& guiTestRegistry() {
    static std::vector<TestFactory> registry;
    return registry;
}

template <class T>
struct RegisterGuiTest {
    RegisterGuiTest() {
        guiTestRegistry().push_back([] { return std::make_unique<T>(); });
    }
};

}  // namespace kestra::testing
