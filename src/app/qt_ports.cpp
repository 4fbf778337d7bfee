#include "app/qt_ports.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QSoundEffect>
#include <QUrl>

#include "app/file_filter.h"

namespace kestra {

namespace {
constexpr const char* kSoundResource = ":/sounds/splash.wav";

// Each dialog, known by its title, opens in the folder it was last used in, across runs.
QString settingsKey(const std::string& title) {
    return "dialogs/" + QString::fromStdString(title).remove(QRegularExpression("[^A-Za-z]"));
}

QString lastFolder(const std::string& title) {
    return QSettings().value(settingsKey(title)).toString();
}

void keepFolder(const std::string& title, const QString& chosen) {
    QSettings().setValue(settingsKey(title), QFileInfo(chosen).absolutePath());
}
}  // namespace

void QtMessagePort::messageBox(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtMessagePort::confirm(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtFilePort::chooseFile(const std::string& title,
                                                  const std::string& filter) {
    QString path =
        QFileDialog::getOpenFileName(parent_, QString::fromStdString(title), lastFolder(title),
                                     QString::fromStdString(qtFileFilter(filter)));
    if (path.isEmpty()) return std::nullopt;
    keepFolder(title, path);
    return path.toStdString();
}

std::optional<std::string> QtFilePort::chooseSaveFile(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& suggested) {
    QString proposed = QString::fromStdString(suggested);
    if (QFileInfo(proposed).isRelative() && !lastFolder(title).isEmpty())
        proposed = QDir(lastFolder(title)).filePath(proposed);
    QString path = QFileDialog::getSaveFileName(parent_, QString::fromStdString(title), proposed,
                                                QString::fromStdString(qtFileFilter(filter)));
    if (path.isEmpty()) return std::nullopt;
    keepFolder(title, path);
    return path.toStdString();
}

SaveChoice QtSaveChangesPort::askSaveChanges(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title),
                    QString::fromStdString(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool QtKeyboardPort::shiftDown() const {
    if (shiftAtPress_) return *shiftAtPress_;
    return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
}

QtSoundPort::QtSoundPort() = default;
QtSoundPort::~QtSoundPort() = default;

QString QtSoundPort::soundFile() {
    return QFileInfo::exists(kSoundResource) ? QString(kSoundResource) : QString();
}

void QtSoundPort::playErrorSound() {
    QString file = soundFile();
    if (file.isEmpty()) {
        QApplication::beep();
        return;
    }
    if (!effect_ || loaded_ != file) {
        effect_ = std::make_unique<QSoundEffect>();
        effect_->setSource(QUrl("qrc" + file));
        loaded_ = file;
    }
    effect_->stop();  // a new report cuts off the sound still playing
    effect_->play();
}

}  // namespace kestra
