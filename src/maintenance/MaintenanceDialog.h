#pragma once

#include "widgets/BookNode.h"
#include "common/Seam.h"

#include <QDialog>
#include <QLineEdit>
#include <QHash>
#include <QValidator>
#include <QVariant>
#include <functional>

class BookQuery;
class QLabel;
class QMenu;
class QPushButton;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// Refuses typing that would make the text longer than a number of GBK bytes
// (a Chinese character takes two). Texts set by the program are not limited;
// an over-long one may be shortened but no keystroke makes it longer.
class GbkLimitValidator : public QValidator {
public:
    GbkLimitValidator(int maxBytes, QLineEdit *field);
    State validate(QString &input, int &pos) const override;

private:
    int maxBytes_;
    int shownBytes_ = 0; // the length of the text before the edit
    QLineEdit *field_;
};

// What the chapter dialog and the article dialog share: the dialog's mode,
// its code and the tree it keeps in step, the two presentations of its
// fields, the content pane and its menu, and the tree updates.
class MaintenanceDialog : public QDialog {
    Q_OBJECT
public:
    enum Mode { Browse = 0, Add = 1, Edit = 2, Delete = 3 };

    QString currentCode;
    int mode = Browse;
    QTreeWidget *tree = nullptr;

    static const QColor Silver;
    static const QColor Window;

    // The pane's whole text as it is stored (lines joined by CR LF).
    static QString storedText(const QPlainTextEdit *pane);
    static void showStored(QPlainTextEdit *pane, const QString &stored);
    // Today in the user's short date form.
    static QString todayText();

    // The entry both dialogs share: load the record, show the browse buttons
    // only in mode 0, delete without showing the window in mode 3, else set
    // up adding or editing and run the dialog modally.
    void runEntry(const QString &code, QTreeWidget *tree, int mode);

protected:
    MaintenanceDialog(const QString &name, const QString &caption, const QSize &size);

    virtual void load(const QString &code) = 0;
    virtual void remove() = 0;
    virtual void beginAdd() = 0;
    virtual void beginEdit() = 0;
    virtual QWidget *browseButtons() const = 0;
    // 取消: the Esc button while it is shown.
    virtual QPushButton *cancelButton() const = 0;
    virtual void lockFields() = 0;
    // The add button's action: prepares the next record to add.
    virtual void addNext() = 0;

    // What follows a confirm: nothing after a stopped save; else mode 0
    // locks the fields, mode 1 gets ready for the next record, mode 2 closes.
    void afterConfirm(bool saved);

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // The focus on preferred when it can be typed into or pressed, else on
    // the first control in the Tab order that can: never a read-only field.
    void focusWritable(QWidget *preferred);

    QLineEdit *edit(QWidget *parent, const char *name, const QRect &geometry, int gbkLimit);
    static QLabel *caption(QWidget *parent, const char *name, const QString &text, int left, int top);
    static QPushButton *button(QWidget *parent, const char *name, const QString &text, const QRect &geometry);
    QPlainTextEdit *contentPane(QWidget *parent, QColor background);
    // The pane's menu: select all, copy, paste, cut (删除), undo.
    QMenu *paneMenu(QPlainTextEdit *pane, const QStringList &itemNames);
    static void setWritable(QWidget *field, bool writable);

    // Tree updates: a node under the selected one, the selected node's
    // record, the selected node with everything below it.
    void appendToSelected(BookNode::Kind kind, const QString &code, const QString &name);
    void relabelSelected(const QString &code, const QString &name);
    void deleteSelected();

    // A warning whose lines are joined by a single carriage return; true on OK.
    bool confirm(const QStringList &lines);
    QWidget *boxOwner();
    void inputError(const QString &text, QWidget *focus);

    // The checks of a save, shared by both dialogs: the three fields that must
    // not be empty and a code without brackets, then the typed code against
    // the table and the state, and the row being changed against the row
    // this dialog loaded.
    struct SaveChecks {
        QLineEdit *code, *name, *parent;
        QString emptyCode, emptyName, emptyParent;
        QString bracketInCode; // labels mark a code with brackets
        const BookQuery &(*find)(const QString &code); // the rows of a code, from data/RecordStore
        QString exists;        // the code is taken (add state)
        QString missing;       // the code has no row (edit state)
        QStringList changed;   // the warning: first line, prefix of the stored name, last line
        QString nameColumn;
        QString record;        // how the warning of another program's change names the record
    };
    // Runs the checks, then write in one transaction that takes the book's
    // write lock. What the checks found is checked again under the lock; if
    // another program changed it in between, the checks run again (and say
    // so). True when the record was written.
    bool save(const SaveChecks &checks, bool addState, const std::function<void()> &write);
    // Keeps the row of an open query (none when it is empty) as the row the
    // dialog shows, to notice another program's change before a save.
    void rememberLoadedRow(const BookQuery &query);
    // The same for a row as the tree shows it (lower-case column -> value):
    // only the columns given are compared.
    void rememberShownRow(const QHash<QString, QVariant> &row) { loadedRow_ = row; }
    // The tree after a save: the selected node relabelled (edit state, which
    // also makes the typed code the dialog's) or a new last child (add state).
    void mirrorSave(BookNode::Kind kind, const QString &code, const QString &name, bool addState);

private:
    enum class Outcome { Written, Refused, Stale };
    bool checkFields(const SaveChecks &checks, bool addState);
    bool checkCode(const SaveChecks &checks, bool addState);
    // Edit state: the stored row differs from the loaded one; true on OK.
    bool overwriteOthersChange(const SaveChecks &checks, const BookQuery &stored);
    bool changesLoadedRow(const SaveChecks &checks, bool addState) const;
    bool sameAsLoaded(const BookQuery &stored) const;
    bool stillAsChecked(const SaveChecks &checks, bool addState);
    Outcome writeInTransaction(const SaveChecks &checks, bool addState, const std::function<void()> &write);

    QHash<QString, QVariant> loadedRow_; // column (lower case) -> value
};

// Runs a dialog entry the way the program runs modal windows; tests replace
// it to act as the user while the dialog is "shown".
extern Seam<int(QDialog &)> maintenanceDialogRunner;
