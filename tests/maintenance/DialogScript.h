#pragma once

#include "maintenance/MaintenanceDialog.h"

#include <functional>

// Runs a dialog entry with `act` standing in for the user while the dialog
// is shown (instead of the modal loop).
template <class Dialog>
void whileShown(const std::function<void()> &entry, const std::function<void(Dialog &)> &act)
{
    const auto dialogs = maintenanceDialogRunner.replace([&](QDialog &dialog) {
        if (act)
            act(static_cast<Dialog &>(dialog));
        return 0;
    });
    entry();
}

