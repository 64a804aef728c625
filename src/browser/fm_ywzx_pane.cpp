// The reading pane of the browser window: what a selection shows, the
// selection codes and the enabled states of the maintenance buttons.
#include "browser/fm_ywzx.h"

#include "browser/PaneText.h"
#include "browser/WaitCursor.h"
#include "common/Labels.h"
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
    const QString label = node->text(0);
    if (Labels::isArticleLabel(label)) {
        lbwh_Panel->hide();
        Insert_nr_btn->setEnabled(false);
        edit_nr_btn->setEnabled(true);
        delete_nr_btn->setEnabled(true);
        currentArticleCode = nodeCode(node);
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
    currentChapterCode = nodeCode(node);
    if (currentChapterCode == Labels::RootCode)
        delete_lb_btn->setEnabled(false);
    if (node->childCount() > 0) {
        delete_lb_btn->setEnabled(false);
        const QTreeWidgetItem *first = node->child(0);
        if (Labels::isArticleLabel(first->text(0))) {
            Insert_lb_btn->setEnabled(false);
            firstArticleCode = nodeCode(first);
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
    const QString label = node->text(0);
    const bool article = Labels::isArticleLabel(label);
    Edit1->setText(article && node->parent() ? node->parent()->text(0) : article ? QString() : label);
    Edit2->setText(article ? label : QString());
    memo1->clear();
    BookQuery &query = ywzxDMF->Query;
    query.close();
    // The code is bound, never pasted: a code holding a quote reads as any other.
    if (article) {
        query.setSql({QStringLiteral("select * from ywzx_ywnr where nrbh=:code order by id")});
        query.setText(QStringLiteral("code"), nodeCode(node));
    } else {
        query.setSql({QStringLiteral("select * from ywzx_ywlb where lbbh=:code order by id")});
        query.setText(QStringLiteral("code"), nodeCode(node));
    }
    query.open();
    if (!query.isEmpty())
        PaneText::show(memo1, query.fieldAsText(QStringLiteral("ywnr")));
}
