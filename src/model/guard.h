// Runs one user action so that damaged cell text ends it with a message box instead of
// escaping: the counterpart of a toolkit's error box around each event handler.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "model/hex_text.h"
#include "model/ports.h"

namespace kestra {

// Returns false when the action was stopped by a conversion error (already shown).
template <class F>
bool runGuarded(MessagePort* messages, F&& action) {
    try {
        std::forward<F>(action)();
        return true;
    } catch (const ConversionError& e) {
        if (messages) messages->messageBox(kConversionErrorTitle, e.what());
        return false;
    }
}

}  // namespace kestra
