#include "search/ChapterLanding.h"

#include "widgets/BookNode.h"
#include "widgets/Handlers.h"
#include "data/ywzxDM.h"
#include "search/TextMarks.h"

#include <QPlainTextEdit>
#include <QTreeWidget>

namespace ChapterLanding {

QTreeWidgetItem *chapterNode(QTreeWidgetItem *root, const QString &code, const TreeReads &reads)
{
    const QStringList chain = ywzxDMF->reader.chainFromRoot(code);
    QTreeWidgetItem *node = root;
    for (int i = 1; node && i < chain.size(); ++i) {
        reads.load(node);
        QTreeWidgetItem *child = BookNode::chapterChild(node, chain.at(i));
        if (!child) { // read before the chapter came to stand there
            reads.addNew(node);
            child = BookNode::chapterChild(node, chain.at(i));
        }
        node = child;
    }
    return chain.isEmpty() ? nullptr : node;
}

void revealAndSelect(QTreeWidget *tree, QTreeWidgetItem *node)
{
    for (QTreeWidgetItem *above = node->parent(); above; above = above->parent())
        above->setExpanded(true);
    tree->setCurrentItem(node);
    tree->scrollToItem(node);
}

void markUntilMoved(QTreeWidget *tree, QPlainTextEdit *pane, const QStringList &texts, bool variants)
{
    TextMarks *marks = TextMarks::mark(pane, texts, variants);
    if (!marks)
        return;
    Handlers::connect(tree, &QTreeWidget::currentItemChanged, marks, [pane] { TextMarks::clear(pane); },
                      Qt::SingleShotConnection);
}

} // namespace ChapterLanding
