#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// A modeless find dialog: a text, a whole-word box, a match-case box, an
// up/down choice and a find-next button that is offered only while the text
// is not empty. Its owner may hide the boxes and the choice. It keeps its
// text and choices while the program runs; cancel only hides it.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    enum Option { HideMatchCase = 1, HideWholeWord = 2, HideUpDown = 4, OfferVariants = 8 };

    FindDialog(QWidget *owner, const QString &name, int options);

    QString text() const;
    void setText(const QString &text);
    bool wholeWord() const;
    bool matchCase() const;
    bool down() const;
    // 繁简通查: simplified and traditional forms alike (offered only with
    // OfferVariants; off by default).
    bool variants() const;
    void setDown(bool down);

    // Shows the dialog beside its owner, or brings it to the front.
    void execute();
    // The text box completes from these; Enter in their list takes the
    // chosen text and finds at once.
    void offerCompletions(class QCompleter *completer);

    QLabel *FindLabel;
    QLineEdit *FindEdit;
    QCheckBox *WholeWordBox;
    QCheckBox *MatchCaseBox;
    QCheckBox *fjtc_chk;
    QGroupBox *DirectionBox;
    QRadioButton *UpButton;
    QRadioButton *DownButton;
    QPushButton *FindNextButton;
    QPushButton *CancelButton;

signals:
    // The find-next button was pressed.
    void find();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void offerVariantsKey();

    bool placed_ = false;
};
