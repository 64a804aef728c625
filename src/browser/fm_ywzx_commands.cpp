// The maintenance commands of the browser window: each opens a dialog for
// the selected node with the code and the mode of its button.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "maintenance/ywlbwhFrm.h"
#include "maintenance/ywnrwhFrm.h"

void Tywzxform::Insert_lb_btnClick()
{
    if (!currentChapterCode.isEmpty())
        ShowChapterDialog(currentChapterCode, TreeView, MaintenanceDialog::Add);
    AssignNodeIcons(); // also when no dialog opened
}

void Tywzxform::Edit_lb_btnClick()
{
    if (!currentChapterCode.isEmpty())
        ShowChapterDialog(currentChapterCode, TreeView, MaintenanceDialog::Edit);
}

void Tywzxform::delete_lb_btnClick()
{
    if (!currentChapterCode.isEmpty())
        ShowChapterDialog(currentChapterCode, TreeView, MaintenanceDialog::Delete);
}

void Tywzxform::Insert_nr_btnClick()
{
    ShowArticleDialog(firstArticleCode, TreeView, MaintenanceDialog::Add);
}

void Tywzxform::edit_nr_btnClick()
{
    if (!currentArticleCode.isEmpty())
        ShowArticleDialog(currentArticleCode, TreeView, MaintenanceDialog::Edit);
}

void Tywzxform::delete_nr_btnClick()
{
    if (!currentArticleCode.isEmpty())
        ShowArticleDialog(currentArticleCode, TreeView, MaintenanceDialog::Delete);
}
