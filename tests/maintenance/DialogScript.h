#pragma once

#include "maintenance/MaintenanceDialog.h"

#include <functional>

// Runs a dialog entry with `act` standing in for the user while the dialog
// is shown (instead of the modal loop).
template <class Dialog>
void whileShown(const std::function<void()> &entry, const std::function<void(Dialog &)> &act)
{
    maintenanceDialogRunner() = [&](QDialog &dialog) {
        if (act)
            act(static_cast<Dialog &>(dialog));
        return 0;
    };
    entry();
}

// Puts the real modal loop back.
inline void restoreDialogRunner()
{
    maintenanceDialogRunner() = [](QDialog &dialog) { return dialog.exec(); };
}
