// The core's ports implemented with Qt: message boxes, the file dialogs, the question before
// closing, the Shift state and the error sound.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "model/ports.h"

class QSoundEffect;
class QWidget;

namespace kestra {

class QtMessagePort : public MessagePort {
  public:
    explicit QtMessagePort(QWidget* parent) : parent_(parent) {}
    void messageBox(const std::string& title, const std::string& text) override;
    bool confirm(const std::string& title, const std::string& text) override;

  private:
    QWidget* parent_;
};

class QtFilePort : public FilePort {
  public:
    explicit QtFilePort(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> chooseFile(const std::string& title,
                                          const std::string& filter) override;
    std::optional<std::string> chooseSaveFile(const std::string& title, const std::string& filter,
                                              const std::string& suggested) override;

  private:
    QWidget* parent_;
};

class QtSaveChangesPort : public SaveChangesPort {
  public:
    explicit QtSaveChangesPort(QWidget* parent) : parent_(parent) {}
    SaveChoice askSaveChanges(const std::string& title, const std::string& text) override;

  private:
    QWidget* parent_;
};

// Shift as it was when the key now acting was pressed: releasing Shift first must not change
// the digit edited.
class QtKeyboardPort : public KeyboardPort {
  public:
    bool shiftDown() const override;
    void rememberShift(bool down) { shiftAtPress_ = down; }

  private:
    std::optional<bool> shiftAtPress_;
};

// Plays the error sound built into the program; beeps when it cannot.
class QtSoundPort : public SoundPort {
  public:
    QtSoundPort();
    ~QtSoundPort() override;
    void playErrorSound() override;
    // The resource path of the sound; empty when the beep stands in for it.
    static QString soundFile();

  private:
    std::unique_ptr<QSoundEffect> effect_;
    QString loaded_;
};

}  // namespace kestra
