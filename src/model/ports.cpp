#include "model/ports.h"

#include <filesystem>
#include <system_error>

namespace kestra {

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    std::filesystem::path p(path);
    if (p.has_filename() && !p.has_extension()) return path + extension;
    return path;
}

std::optional<std::string> chooseSavePath(FilePort& files, MessagePort& messages,
                                          const std::string& title, const std::string& filter,
                                          const std::string& suggested,
                                          const std::string& extension) {
    auto chosen = files.chooseSaveFile(title, filter, suggested);
    if (!chosen) return std::nullopt;
    std::string path = withDefaultExtension(*chosen, extension);
    if (path == *chosen) return chosen;
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found &&
        !ec &&
        !messages.confirm(title, std::filesystem::path(path).filename().string() +
                                     " already exists.\nDo you want to replace it?"))
        return std::nullopt;
    return path;
}

void ErrorBox::set(const std::string& message) {
    text_ = message;
    if (onChanged) onChanged(text_);
}

void ErrorBox::report(const std::string& message) {
    history_.push_back(message);
    set(message);
    if (sound_) sound_->playErrorSound();
}

void ErrorBox::caution(const std::string& message) {
    history_.push_back(message);
    set(message);
}

void ErrorBox::clear() {
    set(std::string());
}

}  // namespace kestra
