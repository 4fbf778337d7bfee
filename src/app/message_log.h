// The message log: every message of the "Important message" box in this session, each with the
// time it came, so that the messages of one action are all kept and can be read in full.
#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace kestra {

class MessageLog : public QDialog {
    Q_OBJECT

  public:
    explicit MessageLog(QWidget* parent);
    // Appends text under the current time.
    void add(const QString& text);
    // The entries as shown: "hh:mm:ss  text".
    const QStringList& entries() const { return entries_; }

  private:
    QPlainTextEdit* view_;
    QStringList entries_;
};

}  // namespace kestra
