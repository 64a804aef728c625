#pragma once

#include <QObject>
#include <QStringList>
#include <QVector>

class QPlainTextEdit;

// Where a search text occurs in a text, by the search's own rules (those of
// the database's LIKE): ASCII letters without regard to case, "%" any run of
// characters, "_" any one character. Each match is the shortest stretch at
// its place; matches are found left to right and do not overlap.
namespace LikeMatch {

struct Range {
    int start; // first character
    int end;   // one past the last
    bool operator<(const Range &other) const { return start < other.start; }
};

// With `variants` (繁简通查) a character also matches its variants.
QVector<Range> find(const QString &text, const QString &pattern, bool variants = false);
// The stretches of every pattern, in the order of the text (a document's
// raw text, or a plain one). Texts are matched as they are stored: a line
// break of any kind counts as CR LF, as in the book.
QVector<Range> findInPane(const QString &paneText, const QStringList &patterns, bool variants = false);

} // namespace LikeMatch

// The marks of a search in a text edit: every occurrence highlighted with
// the edit's extra selections (never in the text, its undo history, the
// clipboard or a printout), the first selected and scrolled to; F3 and
// Shift+F3 go to the next and previous one, wrapping at the ends. Only the
// marks in view are handed to the edit, so a long text with many
// occurrences stays quick. The marks go when the text changes.
class TextMarks : public QObject {
    Q_OBJECT
public:
    // Marks the edit's text anew (replacing earlier marks); null when
    // nothing matches.
    static TextMarks *mark(QPlainTextEdit *edit, const QStringList &patterns, bool variants = false);
    static TextMarks *of(const QPlainTextEdit *edit);
    static void clear(QPlainTextEdit *edit);

    const QVector<LikeMatch::Range> &ranges() const { return ranges_; }
    void next();
    void previous();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TextMarks(QPlainTextEdit *edit, QVector<LikeMatch::Range> ranges);
    void select(const LikeMatch::Range &range);
    void reveal();
    void markVisible();
    void drop();

    QPlainTextEdit *edit_;
    QVector<LikeMatch::Range> ranges_;
    bool revealPending_ = false;
};
