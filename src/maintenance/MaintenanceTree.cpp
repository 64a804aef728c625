#include "maintenance/MaintenanceDialog.h"

#include "widgets/BookNode.h"

#include <QTreeWidget>

// The tree kept in step with what a maintenance dialog saved or deleted.

void MaintenanceDialog::appendToSelected(BookNode::Kind kind, const QString &code, const QString &name)
{
    if (QTreeWidgetItem *selected = tree ? tree->currentItem() : nullptr)
        BookNode::appendChild(selected, kind, code, name);
}

void MaintenanceDialog::relabelSelected(const QString &code, const QString &name)
{
    if (QTreeWidgetItem *selected = tree ? tree->currentItem() : nullptr)
        BookNode::relabel(selected, code, name);
}

void MaintenanceDialog::deleteSelected()
{
    delete (tree ? tree->currentItem() : nullptr);
}

void MaintenanceDialog::mirrorSave(BookNode::Kind kind, const QString &code, const QString &name, bool addState)
{
    if (addState) {
        appendToSelected(kind, code, name);
        return;
    }
    relabelSelected(code, name);
    currentCode = code;
}
