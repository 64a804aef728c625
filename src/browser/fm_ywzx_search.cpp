// The two searches of the browser window: the chapter-name search over the
// tree and the full-text search over the chapter texts, with the landing.
#include "browser/fm_ywzx.h"

#include "browser/BookTree.h"
#include "browser/ChapterTree.h"
#include "search/FindDialog.h"
#include "search/SearchCommands.h"
#include "search/ShowjbywnrFrm.h"

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

void Tywzxform::findName(bool downChosen)
{
    SearchCommands::findName(TreeView, rootNode(), *FindDialog1, downChosen,
                             [this](QTreeWidgetItem *node, auto &outline, LoadProgress &progress) {
                                 return chapters_->loadOnWalk(node, outline, progress);
                             },
                             this);
}

void Tywzxform::landOnChapter(const QString &code)
{
    const ChapterLanding::TreeReads reads{[this](QTreeWidgetItem *node) { LoadChildren(node); },
                                          [this](QTreeWidgetItem *node) { chapters_->addNewChapters(node); }};
    SearchCommands::landOn(TreeView, rootNode(), memo1, code, reads, this);
}

// Lists the hits in the results window and, when it closes, moves the tree
// to the chosen chapter.
void Tywzxform::FindDialog2Find()
{
    const QString code = SearchCommands::chooseChapter(*FindDialog2, this);
    if (code.isNull())
        return;
    FindDialog1->setText(ResultChapterName);
    landOnChapter(code);
    FindDialog2->hide();
}
