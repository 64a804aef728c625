// The reading pane of the browser window: what a selection shows, the
// selection codes and the enabled states of the maintenance buttons.
#include "browser/fm_ywzx.h"

#include "widgets/BookNode.h"
#include "common/Labels.h"
#include "widgets/PaneText.h"
#include "widgets/WaitCursor.h"
#include "data/ywzxDM.h"

#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidgetItem>

void Tywzxform::TreeViewChange(QTreeWidgetItem *node)
{
    currentChapterCode.clear();
    currentArticleCode.clear();
    firstArticleCode.clear();
    if (BookNode::isArticle(node)) {
        lbwh_Panel->hide();
        Insert_nr_btn->setEnabled(false);
        edit_nr_btn->setEnabled(true);
        delete_nr_btn->setEnabled(true);
        currentArticleCode = BookNode::code(node);
    } else {
        setChapterButtons(node);
    }
    if (!firstArticleCode.isEmpty()) {
        Insert_nr_btn->setEnabled(true);
        edit_nr_btn->setEnabled(false);
        delete_nr_btn->setEnabled(false);
    }
    ShowContent(node);
}

void Tywzxform::setChapterButtons(QTreeWidgetItem *node)
{
    lbwh_Panel->show();
    Insert_lb_btn->setEnabled(true);
    Edit_lb_btn->setEnabled(true);
    delete_lb_btn->setEnabled(true);
    currentChapterCode = BookNode::code(node);
    if (currentChapterCode == Labels::RootCode)
        delete_lb_btn->setEnabled(false);
    if (node->childCount() > 0) {
        delete_lb_btn->setEnabled(false);
        const QTreeWidgetItem *first = node->child(0);
        if (BookNode::isArticle(first)) {
            Insert_lb_btn->setEnabled(false);
            firstArticleCode = BookNode::code(first);
        }
    } else {
        Insert_nr_btn->setEnabled(true);
        edit_nr_btn->setEnabled(false);
        delete_nr_btn->setEnabled(false);
    }
}

void Tywzxform::ShowContent(QTreeWidgetItem *node)
{
    WaitCursor wait; // a long text takes seconds to read and lay out
    const bool article = BookNode::isArticle(node);
    Edit1->setText(article && node->parent() ? node->parent()->text(0) : article ? QString() : node->text(0));
    Edit2->setText(article ? node->text(0) : QString());
    memo1->clear();
    const QString code = BookNode::code(node);
    const QString text = article ? ywzxDMF->reader.articleText(code) : ywzxDMF->reader.chapterText(code);
    if (!text.isNull())
        PaneText::show(memo1, text);
}
