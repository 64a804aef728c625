#pragma once

#include "browser/BrowserLayout.h"
#include "browser/ReadingPlaces.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class BookmarksWindow;
class ChapterTree;
class FindDialog;
class QAction;
class QMenu;
class QTreeWidgetItem;
class TextZoom;

// The browser window, the program's main window: the chapter tree on the
// left, the reading pane on the right, toolbar, status bar and clock.
class Tywzxform : public QMainWindow, public BrowserLayout {
    Q_OBJECT
public:
    // Creates the window and runs its creation handler, which hides the
    // splash window; an error raised by the handler is shown by the general
    // error report and the window is created all the same.
    static Tywzxform *create(QWidget *parent = nullptr, QWidget *splash = nullptr);
    ~Tywzxform() override;
    // Staff only (ebook-reader --staff): shows the six maintenance buttons,
    // which readers never see; their enabled states follow the selection.
    // A confirmed drop is then written to the book, not only to the tree.
    void offerMaintenance();

    FindDialog *FindDialog1; // chapter-name search
    FindDialog *FindDialog2; // full-text search
    // Keyboard commands of the window: Ctrl+F, Ctrl+Shift+F, F3, Shift+F3,
    // Ctrl+P, F1, Ctrl+Q.
    QAction *FindNameAction, *FindTextAction, *FindNextAction, *FindPreviousAction;
    QAction *PrintAction, *AboutAction, *QuitAction;
    TextZoom *PaneZoom; // the reading pane's zoom
    // Citations: Ctrl+Shift+C and the items of the tree's and the pane's
    // menus. Checked, BarePrintAction prints the text alone over the whole
    // printable area (the print dialog offers it).
    QAction *CopyCitationAction, *TreeCitationItem, *PaneCitationItem, *BarePrintAction;
    // F11, and the pane menu's night scheme (Ctrl+Shift+N) and reading faces.
    QAction *FullScreenAction, *NightAction;
    QMenu *FaceMenu;

    // Full screen, and back to the state before it (maximised or not).
    void toggleFullScreen();
    bool maximisedBeforeFullScreen() const { return maximisedBeforeFullScreen_; }
    // The night scheme and the reading face (empty: the designed face) of
    // the pane and of the results windows opened after the choice.
    bool nightScheme() const;
    void setNightScheme(bool night);
    QString readingFace() const;
    void setReadingFace(const QString &family);

    // Selection state, kept by TreeViewChange for the maintenance commands.
    QString currentChapterCode;
    QString currentArticleCode;
    QString firstArticleCode;

    // The chapter tree
    QTreeWidgetItem *rootNode() const;
    void LoadChildren(QTreeWidgetItem *node);
    void ReloadTree();
    void AssignNodeIcons();
    bool autoExpand() const { return autoExpand_; }
    // The drop of the selected node on target, after the question; true when it moved.
    bool dropSelectedNodeOn(QTreeWidgetItem *target);

    // Event handlers
    void FormCreate();
    void FormShow();
    void TreeViewExpanded(QTreeWidgetItem *node);
    void TreeViewChange(QTreeWidgetItem *node);
    void ShowContent(QTreeWidgetItem *node);
    void TreeViewDragDrop(const QPoint &viewportPosition);
    void N9Click();
    void TreeViewExpandBranch(QTreeWidgetItem *node);
    void N10Click();
    void N5Click();
    void N6Click();
    void Timer1Timer();
    // Maintenance commands of the six hidden buttons
    void Insert_lb_btnClick();
    void Edit_lb_btnClick();
    void delete_lb_btnClick();
    void Insert_nr_btnClick();
    void edit_nr_btnClick();
    void delete_nr_btnClick();
    void RxSpeedButton1Click();
    void RxSpeedButton2Click();
    void FindDialog1Find();
    // The chapter-name search in the direction given (the find dialog's own
    // or F3's), from the selected node.
    void findName(bool downChosen);
    void FindDialog2Find();
    // Moves the tree to the chapter of this code, or reports it not found.
    void landOnChapter(const QString &code);
    void BitBtn3Click();
    void BitBtn1Click();
    void N3Click();
    void N4Click();
    void N7Click();
    void N11Click();
    void N13Click();
    // Copies the selected node's citation; after the pane's selected text
    // when withPassage and the pane has one.
    void copyCitation(bool withPassage);
    // F3 / Shift+F3 outside a text: the last chapter-name search again,
    // downward or upward (the find dialog opens when there is none yet).
    void repeatNameSearch(bool down);
    // The pane's menu offers only what can act on the pane as it is.
    void updatePaneMenu();

    // Places read: back and forward (Alt+Left, Alt+Right, the mouse's side
    // buttons over the tree and the pane), the place to resume at and the
    // bookmarks (Ctrl+D adds, Ctrl+B lists). Places are kept by code.
    QAction *BackAction, *ForwardAction, *AddBookmarkAction, *BookmarksAction;
    QFrame *nav_Panel;
    QToolButton *back_btn, *forward_btn;
    void goBack();
    void goForward();
    // The selected node and the pane's scroll position there.
    ReadingPlace currentPlace() const;
    // Selects the place's node (reading its chapters' path as needed) and
    // scrolls the pane there; false when the book no longer has it.
    bool openPlace(const ReadingPlace &place);
    // Where the window opens once shown (at once when it is shown already);
    // a place gone from the book leaves the first selection as it is.
    void resumeAt(const ReadingPlace &place);
    void addBookmark();
    void showBookmarks();
    void openBookmark(const Bookmark &bookmark);
    const QList<Bookmark> &bookmarks() const { return bookmarks_; }
    void setBookmarks(const QList<Bookmark> &bookmarks);
    BookmarksWindow *bookmarksWindow() const;

    // The clock's text: short date, a blank, long time; the date alone at midnight.
    static QString clockText(const QDateTime &now);

signals:
    // The reader added, renamed or removed a bookmark.
    void bookmarksChanged();

protected:
    explicit Tywzxform(QWidget *parent = nullptr);
    void showEvent(QShowEvent *event) override;

private:
    void connectTree();
    void connectHandlers();
    void buildKeyboardCommands();
    void buildCitationCommands();
    void buildReadingCommands();
    void listFaces();
    void selectionChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void singleExpand(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void setChapterButtons(QTreeWidgetItem *node);
    void buildPlaceCommands();
    void buildPlaceButtons();
    void updatePlaceCommands();
    int paneScroll() const;
    void leavePlace();
    void enterPlace(QTreeWidgetItem *node);
    void stepPlace(int step);
    QTreeWidgetItem *nodeOf(const ReadingPlace &place);
    void resumeReading();
    void bookmarksEdited(const QList<Bookmark> &bookmarks);

    std::unique_ptr<ChapterTree> chapters_;
    QPointer<QWidget> splash_;
    bool shown_ = false;
    bool autoExpand_ = true;
    PlaceHistory history_;
    bool stepping_ = false; // moving to a place of the history, not a new one
    ReadingPlace resume_;
    QList<Bookmark> bookmarks_;
    QPointer<BookmarksWindow> bookmarksWindow_;
    bool maximisedBeforeFullScreen_ = false;
};

// The running program's main window.
extern Tywzxform *ywzxform;

