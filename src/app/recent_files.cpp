#include "app/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace kestra {
namespace {

constexpr const char* kKey = "recentFiles";

void store(const QStringList& files) {
    QSettings().setValue(kKey, files);
}

}  // namespace

QStringList RecentFiles::files() const {
    return QSettings().value(kKey).toStringList();
}

void RecentFiles::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(absolute);
    list.prepend(absolute);
    while (list.size() > kMaxFiles) list.removeLast();
    store(list);
}

void RecentFiles::remove(const QString& path) {
    QStringList list = files();
    list.removeAll(path);
    store(list);
}

}  // namespace kestra
