// The platform layer as the core sees it: small interfaces that the GUI implements with Qt and
// the tests implement with fakes. The core never talks to the user any other way.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestra {

class SoundPort {
  public:
    virtual ~SoundPort() = default;
    // Asynchronous; never fails visibly.
    virtual void playErrorSound() = 0;
};

class MessagePort {
  public:
    virtual ~MessagePort() = default;
    // Modal box with an OK button.
    virtual void messageBox(const std::string& title, const std::string& text) = 0;
    // Modal Yes/No question; true for Yes.
    virtual bool confirm(const std::string& title, const std::string& text) = 0;
};

enum class BitKind { Flag, Tone };

class BitDialogPort {
  public:
    virtual ~BitDialogPort() = default;
    // Shows the eight-bit dialog for kind with bits ("--" or eight 0/1 characters, bit 7 first).
    // Returns the chosen bits, or "--" when cancelled.
    virtual std::string editBits(BitKind kind, const std::string& bits) = 0;
};

class KeyboardPort {
  public:
    virtual ~KeyboardPort() = default;
    // Shift held at this moment.
    virtual bool shiftDown() const = 0;
};

class FilePort {
  public:
    virtual ~FilePort() = default;
    // A path, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseFile(const std::string& title,
                                                  const std::string& filter) = 0;
    // A path to write to (suggested is proposed), or nothing when the user cancelled.
    virtual std::optional<std::string> chooseSaveFile(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& suggested) = 0;
};

// path with extension appended when its file name has none ("tune" -> "tune.ksong").
std::string withDefaultExtension(const std::string& path, const std::string& extension);

// The name to save to: the dialog's answer with `extension` added when it has none. The dialog
// asked before replacing only the name it returned, so when the added extension names an existing
// file the user is asked here. Nothing when the user cancelled either question.
std::optional<std::string> chooseSavePath(FilePort& files, MessagePort& messages,
                                          const std::string& title, const std::string& filter,
                                          const std::string& suggested,
                                          const std::string& extension);

enum class SaveChoice { Save, Discard, Cancel };

// The three-way question asked before unsaved work would be lost.
class SaveChangesPort {
  public:
    virtual ~SaveChangesPort() = default;
    virtual SaveChoice askSaveChanges(const std::string& title, const std::string& text) = 0;
};

// The "Important message" box: holds the last message reported. Errors come with the error
// sound, cautions without. Every message is also kept in history, for the command line.
class ErrorBox {
  public:
    explicit ErrorBox(SoundPort* sound = nullptr) : sound_(sound) {}
    void setSound(SoundPort* sound) { sound_ = sound; }
    void report(const std::string& message);
    void caution(const std::string& message);
    void clear();
    const std::string& text() const { return text_; }
    bool empty() const { return text_.empty(); }
    const std::vector<std::string>& history() const { return history_; }
    // Called whenever the text changes (the GUI mirrors it in its edit box).
    std::function<void(const std::string&)> onChanged;

  private:
    void set(const std::string& message);
    SoundPort* sound_;
    std::string text_;
    std::vector<std::string> history_;
};

// The title of the box that shows damaged cell text (a conversion error).
inline constexpr const char* kConversionErrorTitle = "Kestra Music Editor";

// The ports a user action may need; any may be null where the action does not use it.
struct Ports {
    ErrorBox* errors = nullptr;
    MessagePort* messages = nullptr;
    BitDialogPort* bits = nullptr;
    KeyboardPort* keyboard = nullptr;
    FilePort* files = nullptr;
};

}  // namespace kestra
