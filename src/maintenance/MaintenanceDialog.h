#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QValidator>
#include <functional>

class QMenu;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// Refuses typing that would make the text longer than a number of GBK bytes
// (a Chinese character takes two). Texts set by the program are not limited.
class GbkLimitValidator : public QValidator {
public:
    GbkLimitValidator(int maxBytes, QObject *parent);
    State validate(QString &input, int &pos) const override;

private:
    int maxBytes_;
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

protected:
    MaintenanceDialog(const QString &name, const QString &caption, const QSize &size);

    QLineEdit *edit(QWidget *parent, const char *name, const QRect &geometry, int gbkLimit);
    QPlainTextEdit *contentPane(QWidget *parent, QColor background);
    // The pane's menu: select all, copy, paste, cut (删除), undo.
    QMenu *paneMenu(QPlainTextEdit *pane, const QStringList &itemNames);
    static void setWritable(QWidget *field, bool writable);

    // Tree updates: a node under the selected one, the selected node's label,
    // the selected node with everything below it.
    void appendToSelected(const QString &label);
    void relabelSelected(const QString &label);
    void deleteSelected();

    // A warning whose lines are joined by a single carriage return; true on OK.
    bool confirm(const QStringList &lines);
    void inputError(const QString &text, QWidget *focus);
};

// Runs a dialog entry the way the program runs modal windows; tests replace
// it to act as the user while the dialog is "shown".
using ModalRunner = std::function<int(QDialog &)>;
ModalRunner &maintenanceDialogRunner();
