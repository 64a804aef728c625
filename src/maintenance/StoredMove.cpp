#include "maintenance/StoredMove.h"

#include "common/Labels.h"
#include "widgets/MessageBoxes.h"
#include "widgets/OwnedWindow.h"
#include "data/BookQuery.h"
#include "data/RecordStore.h"
#include "data/ywzxDM.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

namespace {

bool isChapterLike(BookNode::Kind kind)
{
    return kind == BookNode::Kind::Chapter || kind == BookNode::Kind::Root;
}

} // namespace

bool StoredMove::store(QTreeWidgetItem *node, QTreeWidgetItem *target, QWidget *window)
{
    const BookNode::Kind kind = BookNode::kind(node);
    if (kind != BookNode::Kind::Chapter && kind != BookNode::Kind::Article)
        return false;
    if (!isChapterLike(BookNode::kind(target))) {
        MessageBoxes::inputError(window, QCoreApplication::translate("StoredMove", "只能把节点移到章节之下。"));
        return false;
    }
    StoredMove move(node, target);
    OwnedWindow::attach(&move, window);
    if (!move.run())
        return false;
    // Another program's new name, accepted with the move, is shown too.
    if (move.storedName_ != BookNode::name(node))
        BookNode::relabel(node, BookNode::code(node), move.storedName_);
    return true;
}

// The dialog is never shown: its fields only carry the codes through the
// save's checks, and its row is the one the tree shows.
StoredMove::StoredMove(QTreeWidgetItem *node, QTreeWidgetItem *target)
    : MaintenanceDialog(QStringLiteral("StoredMove"), QCoreApplication::translate("StoredMove", "移动节点"), QSize(1, 1)),
      kind_(BookNode::kind(node)), targetCode_(BookNode::code(target)), codeField_(new QLineEdit(this)),
      targetField_(new QLineEdit(this)), unused_(new QPushButton(this))
{
    codeField_->setObjectName(QStringLiteral("move_code_Edit"));
    codeField_->setAccessibleName(QCoreApplication::translate("StoredMove", "移动的节点编号"));
    targetField_->setObjectName(QStringLiteral("move_target_Edit"));
    targetField_->setAccessibleName(QCoreApplication::translate("StoredMove", "目标章节编号"));
    unused_->setObjectName(QStringLiteral("move_cancel_btn"));
    unused_->setAccessibleName(QCoreApplication::translate("StoredMove", "取消"));
    unused_->hide();
    currentCode = BookNode::code(node);
    mode = Edit;
    codeField_->setText(currentCode);
    targetField_->setText(targetCode_);
    const bool chapter = kind_ == BookNode::Kind::Chapter;
    QHash<QString, QVariant> shown{
        {chapter ? QStringLiteral("lbbh") : QStringLiteral("nrbh"), currentCode},
        {chapter ? QStringLiteral("flbh") : QStringLiteral("lbbh"), BookNode::code(node->parent())}};
    // A chapter stored without a name (NULL) shows an empty one.
    if (!BookNode::name(node).isEmpty())
        shown.insert(chapter ? QStringLiteral("lbmc") : QStringLiteral("nrbt"), BookNode::name(node));
    rememberShownRow(shown);
}

QWidget *StoredMove::browseButtons() const
{
    return unused_;
}

// The code is never typed (so the dialogs' questions about a changed code
// and their messages about empty fields cannot come); a move names nothing,
// so the target stands in for the name.
MaintenanceDialog::SaveChecks StoredMove::checks() const
{
    const QString noCode = QCoreApplication::translate("StoredMove", "此节点没有编号，不能移动。");
    if (kind_ == BookNode::Kind::Chapter)
        return {codeField_, targetField_, targetField_, noCode, noCode, noCode, noCode,
                [](const QString &code) -> const BookQuery & { return ywzxDMF->chapterStore.find(code); },
                QCoreApplication::translate("StoredMove", "此类别已存在。类别编号不允许重复。请重新输入类别编号后再试！"),
                QCoreApplication::translate("StoredMove", "此章节已被其他程序删除，不能移动。请刷新后再试！"),
                {}, QStringLiteral("lbmc"), QCoreApplication::translate("StoredMove", "此类别")};
    return {codeField_, targetField_, targetField_, noCode, noCode, noCode, noCode,
            [](const QString &code) -> const BookQuery & { return ywzxDMF->articleStore.find(code); },
            QCoreApplication::translate("StoredMove", "此编号已存在。内容编号不允许重复。请重新输入编号后再试！"),
            QCoreApplication::translate("StoredMove", "此内容已被其他程序删除，不能移动。请刷新后再试！"),
            {}, QStringLiteral("nrbt"), QCoreApplication::translate("StoredMove", "此内容")};
}

bool StoredMove::run()
{
    if (!save(checks(), false, [this] { write(); }))
        return false;
    if (refusal_.isEmpty())
        return true;
    MessageBoxes::inputError(boxOwner(), refusal_);
    return false;
}

// Inside the save's transaction: a refused target ends it with nothing written.
void StoredMove::write()
{
    refusal_ = targetRefusal();
    if (!refusal_.isEmpty())
        return;
    if (kind_ == BookNode::Kind::Chapter) {
        storedName_ = ywzxDMF->chapterStore.find(currentCode).fieldAsText(QStringLiteral("lbmc"));
        ywzxDMF->chapterStore.setParent(currentCode, targetCode_);
    } else {
        storedName_ = ywzxDMF->articleStore.find(currentCode).fieldAsText(QStringLiteral("nrbt"));
        ywzxDMF->articleStore.setChapter(currentCode, targetCode_);
    }
}

// The root's children hang on its code, with or without a root row.
QString StoredMove::targetRefusal() const
{
    if (targetCode_ != Labels::RootCode && ywzxDMF->chapterStore.find(targetCode_).isEmpty())
        return QCoreApplication::translate("StoredMove", "目标章节已被其他程序删除，不能移到其下。请刷新后再试！");
    if (kind_ == BookNode::Kind::Chapter && liesInsideMoved(targetCode_))
        return QCoreApplication::translate("StoredMove", "目标章节已被其他程序移到此章节之下，章节不能移到自己的下级之中。请刷新后再试！");
    return {};
}

// Walks up from chapterCode through the stored parents; rows that loop
// among themselves without the moved chapter end the walk.
bool StoredMove::liesInsideMoved(QString chapterCode) const
{
    QSet<QString> passed;
    while (chapterCode != Labels::RootCode && !passed.contains(chapterCode)) {
        if (chapterCode == currentCode)
            return true;
        passed.insert(chapterCode);
        const BookQuery &row = ywzxDMF->chapterStore.find(chapterCode);
        if (row.isEmpty())
            return false;
        chapterCode = row.fieldAsText(QStringLiteral("flbh"));
    }
    return false;
}
