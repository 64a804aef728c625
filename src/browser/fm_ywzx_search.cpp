// The two searches of the browser window: the chapter-name search over the
// tree and the full-text search over the chapter texts, with the landing.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "browser/ChapterTree.h"
#include "common/LoadProgress.h"
#include "common/MessageBoxes.h"
#include "common/WaitCursor.h"
#include "data/BookOutline.h"
#include "data/ywzxDM.h"
#include "search/FindDialog.h"
#include "search/ChapterLanding.h"
#include "data/FullTextQuery.h"
#include "search/NameSearch.h"
#include "search/ShowjbywnrFrm.h"

#include <QTreeWidget>

namespace {

const QString NotFound = QStringLiteral("对不起,没有找到您要查找的内容!");

} // namespace

void Tywzxform::RxSpeedButton1Click()
{
    FindDialog1->execute();
}

void Tywzxform::RxSpeedButton2Click()
{
    FindDialog2->execute();
}

void Tywzxform::FindDialog1Find()
{
    findName(FindDialog1->down());
}

// A long walk shows its progress and can be cancelled (then nothing is found).
void Tywzxform::findName(bool downChosen)
{
    QTreeWidgetItem *root = rootNode();
    QTreeWidgetItem *selected = TreeView->currentItem() ? TreeView->currentItem() : root;
    if (!selected)
        return;
    QTreeWidgetItem *found = nullptr;
    {
        WaitCursor wait;
        LoadProgress progress(this, 0);
        std::unique_ptr<BookOutline> outline;
        found = NameSearch::find(root, selected, FindDialog1->text(), FindDialog1->wholeWord(), downChosen,
                                 [&](QTreeWidgetItem *node) { return chapters_->loadOnWalk(node, outline, progress); });
    }
    if (!found) {
        MessageBoxes::searchInfo(FindDialog1->isVisible() ? static_cast<QWidget *>(FindDialog1) : this, NotFound);
        return;
    }
    ChapterLanding::revealAndSelect(TreeView, found);
}

void Tywzxform::landOnChapter(const QString &code)
{
    QTreeWidgetItem *node =
        ChapterLanding::chapterNode(rootNode(), code, [this](QTreeWidgetItem *n) { LoadChildren(n); });
    if (!node) {
        MessageBoxes::searchInfo(this, NotFound);
        return;
    }
    ChapterLanding::revealAndSelect(TreeView, node);
    markLanding();
}

// The reading pane marks the hits in the chapter landed on until another
// node is selected.
void Tywzxform::markLanding()
{
    ChapterLanding::markUntilMoved(TreeView, memo1, ResultMarkTexts, ResultMarkVariants);
}

// Finds the chapters whose text holds the text, lists them in the results
// window and, when it closes, moves the tree to the chosen one by its code.
void Tywzxform::FindDialog2Find()
{
    BookQuery &query = ywzxDMF->Query;
    prepareTextSearch(query, resultListColumns(query), FindDialog2->text(), QString(), FindDialog2->variants());
    query.open();
    QWidget *owner = FindDialog2->isVisible() ? static_cast<QWidget *>(FindDialog2) : this;
    if (query.isEmpty()) {
        MessageBoxes::searchInfo(owner, NotFound);
        return;
    }
    ResultChapterName.clear();
    ResultChapterCode.clear();
    ResultMarkTexts = QStringList{FindDialog2->text()};
    ResultMarkVariants = FindDialog2->variants();
    ShowSearchResults(query, true, this);
    if (ResultChapterCode.isNull()) {
        MessageBoxes::searchInfo(owner, QStringLiteral("没有找到您所需要的内容!"));
        return;
    }
    FindDialog1->setText(ResultChapterName);
    landOnChapter(ResultChapterCode);
    FindDialog2->hide();
}
