#include "plotkit/format_dialog_registry.h"

#include <map>
#include <mutex>
#include <utility>

namespace plotkit {

namespace {

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<int, FormatDialogFn>& Registry() {
    static std::map<int, FormatDialogFn> dialogs;
    return dialogs;
}

} // namespace

void RegisterFormatDialog(int displayType, FormatDialogFn dialog) {
    std::lock_guard lock(RegistryMutex());
    if (dialog)
        Registry()[displayType] = std::move(dialog);
    else
        Registry().erase(displayType);
}

int OpenFormatDialog(CDisplayStructure& object) {
    FormatDialogFn dialog;
    {
        // The dialog runs outside the lock: a modal dialog runs an event loop
        // in which another object's OnFormat may be called.
        std::lock_guard lock(RegistryMutex());
        const auto found = Registry().find(object.GetType());
        if (found == Registry().end())
            return 0;
        dialog = found->second;
    }
    return dialog(object);
}

} // namespace plotkit
