#include "search/SearchCommands.h"

#include "widgets/LoadProgress.h"
#include "widgets/MessageBoxes.h"
#include "widgets/WaitCursor.h"
#include "data/BookOutline.h"
#include "data/BookReader.h"
#include "data/FullTextQuery.h"
#include "data/ywzxDM.h"
#include "search/ChapterLanding.h"
#include "search/FindDialog.h"
#include "search/NameSearch.h"
#include "search/ShowjbywnrFrm.h"

#include <QTreeWidget>
#include <QCoreApplication>

namespace SearchCommands {
namespace {

inline QString NotFound() { return QCoreApplication::translate("SearchCommands", "对不起,没有找到您要查找的内容!"); }
inline QString Deleted() { return QCoreApplication::translate("SearchCommands", "您选择的章节已被删除，无法转到该章节。请刷新目录后再查找。"); }

QWidget *ownerOf(FindDialog &dialog, QWidget *window)
{
    return dialog.isVisible() ? &dialog : window;
}

} // namespace

// A long walk shows its progress and can be cancelled (then nothing is found).
void findName(QTreeWidget *tree, QTreeWidgetItem *root, FindDialog &dialog, bool downChosen,
              const WalkLoad &load, QWidget *window)
{
    QTreeWidgetItem *selected = tree->currentItem() ? tree->currentItem() : root;
    if (!selected)
        return;
    QTreeWidgetItem *found = nullptr;
    {
        WaitCursor wait;
        LoadProgress progress(window, 0);
        std::unique_ptr<BookOutline> outline;
        found = NameSearch::find(root, selected, dialog.text(), dialog.wholeWord(), downChosen,
                                 [&](QTreeWidgetItem *node) { return load(node, outline, progress); });
    }
    if (!found) {
        MessageBoxes::searchInfo(ownerOf(dialog, window), NotFound());
        return;
    }
    ChapterLanding::revealAndSelect(tree, found);
}

QString chooseChapter(FindDialog &dialog, QWidget *window)
{
    QWidget *owner = ownerOf(dialog, window);
    BookQuery &query = ywzxDMF->Query;
    prepareTextSearch(query, resultListColumns(query), dialog.text(), QString(), dialog.variants());
    query.open();
    if (query.isEmpty()) {
        MessageBoxes::searchInfo(owner, NotFound());
        return QString();
    }
    ResultChapterName.clear();
    ResultChapterCode.clear();
    ResultMarkTexts = QStringList{dialog.text()};
    ResultMarkVariants = dialog.variants();
    ShowSearchResults(query, true, window);
    if (ResultChapterCode.isNull())
        MessageBoxes::searchInfo(owner, QCoreApplication::translate("SearchCommands", "没有找到您所需要的内容!"));
    return ResultChapterCode;
}

void landOn(QTreeWidget *tree, QTreeWidgetItem *root, QPlainTextEdit *pane, const QString &code,
            const ChapterLanding::TreeReads &reads, QWidget *window)
{
    QTreeWidgetItem *node = ChapterLanding::chapterNode(root, code, reads);
    if (!node) {
        MessageBoxes::searchInfo(window, ywzxDMF->reader.hasChapter(code) ? NotFound() : Deleted());
        return;
    }
    ChapterLanding::revealAndSelect(tree, node);
    // The reading pane marks the hits in the chapter landed on until
    // another node is selected.
    ChapterLanding::markUntilMoved(tree, pane, ResultMarkTexts, ResultMarkVariants);
}

} // namespace SearchCommands
