// The recent-files list of the File menu, newest first, kept in the program's settings so that
// it survives a restart.
#pragma once

#include <QStringList>

namespace kestra {

class RecentFiles {
  public:
    static constexpr int kMaxFiles = 8;

    QStringList files() const;
    // Puts path at the top (once); the oldest falls off past kMaxFiles.
    void add(const QString& path);
    void remove(const QString& path);
};

}  // namespace kestra
