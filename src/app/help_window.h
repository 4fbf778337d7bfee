// The Help window: a modal window showing one "?" button's text with an "Ok" button.
#pragma once

#include <QDialog>
#include <string>

class QLabel;

namespace kestra {

// How the main window shows a help text; tests put a recorder in its place.
class HelpPort {
  public:
    virtual ~HelpPort() = default;
    virtual void showHelp(const std::string& text) = 0;
};

class HelpWindow : public QDialog, public HelpPort {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows text modally and returns when the window closes.
    void showHelp(const std::string& text) override;
    // Puts text in the window without showing it.
    void setText(const std::string& text);
    QString text() const;

  private:
    QLabel* help_;
};

}  // namespace kestra
