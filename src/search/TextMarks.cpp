#include "search/TextMarks.h"

#include "widgets/Handlers.h"
#include "widgets/PaneText.h"
#include "common/TextHelpers.h"
#include "data/ChineseVariants.h"

#include <QEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QPlainTextEdit>
#include <algorithm>

namespace LikeMatch {

namespace {

const QChar AnyRun = QLatin1Char('%');
const QChar AnyOne = QLatin1Char('_');

QString asciiFolded(const QString &text)
{
    QString folded = text;
    for (QChar &c : folded)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return folded;
}

int charWidthAt(const QString &text, int at)
{
    return text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
}

// A piece of the pattern between "%" signs; its longest run without "_" is
// looked for first, the rest is checked around it.
struct Segment {
    QString units;
    QString anchor;
    int anchorAt = 0;

    explicit Segment(const QString &pattern) : units(pattern)
    {
        const QStringList runs = pattern.split(AnyOne);
        int at = 0;
        for (const QString &run : runs) {
            if (run.size() > anchor.size()) {
                anchor = run;
                anchorAt = at;
            }
            at += run.size() + 1;
        }
    }

    // The end of the segment matched at pos, or -1.
    int endAt(const QString &text, int pos) const
    {
        int t = pos;
        for (QChar p : units) {
            if (t >= text.size())
                return -1;
            if (p == AnyOne)
                t += charWidthAt(text, t);
            else if (text.at(t++) != p)
                return -1;
        }
        return t;
    }

    // Where the segment starts when its anchor stands at q; -1 before 0.
    int startFor(const QString &text, int q) const
    {
        for (int i = anchorAt - 1; i >= 0 && q >= 0; --i) {
            const bool pair = units.at(i) == AnyOne && q >= 2 && text.at(q - 1).isLowSurrogate()
                              && text.at(q - 2).isHighSurrogate();
            q -= pair ? 2 : 1;
        }
        return q;
    }

    // The first match starting at from or later; start -1 when there is none.
    Range findFrom(const QString &text, int from) const
    {
        if (anchor.isEmpty()) {
            const int end = endAt(text, from);
            return {end < 0 ? -1 : from, end};
        }
        for (qsizetype q = text.indexOf(anchor, from); q >= 0; q = text.indexOf(anchor, q + 1)) {
            const int start = startFor(text, int(q));
            if (start < from)
                continue;
            const int end = endAt(text, start);
            if (end >= 0)
                return {start, end};
        }
        return {-1, -1};
    }
};

// One match from pos on: the first segment as early as it can be, each
// next one right after; then the latest first segment that still ends
// before the second, which makes the stretch the shortest there.
Range matchFrom(const QString &text, const QVector<Segment> &segments, int pos)
{
    Range first = segments.first().findFrom(text, pos);
    if (first.start < 0)
        return first;
    int end = first.end;
    int secondStart = -1;
    for (int i = 1; i < segments.size(); ++i) {
        const Range next = segments.at(i).findFrom(text, end);
        if (next.start < 0)
            return next;
        if (i == 1)
            secondStart = next.start;
        end = next.end;
    }
    if (secondStart >= 0)
        for (Range later = segments.first().findFrom(text, first.start + 1); later.start >= 0 && later.end <= secondStart;
             later = segments.first().findFrom(text, later.start + 1))
            first = later;
    return {first.start, end};
}

// 繁简通查: the matches in the folded text, at their places in the text.
// Folding may change a character's UTF-16 width (𫫇 folds to 噁).
QVector<Range> findFolded(const QString &text, const QString &pattern)
{
    QString folded;
    folded.reserve(text.size());
    QVector<int> place; // where each unit of the folded text comes from
    place.reserve(text.size() + 1);
    for (int at = 0; at < text.size();) {
        const int width = charWidthAt(text, at);
        const char32_t c = width == 2 ? QChar::surrogateToUcs4(text.at(at), text.at(at + 1)) : text.at(at).unicode();
        const char32_t first = ChineseVariants::foldedChar(c);
        if (QChar::requiresSurrogates(first)) {
            folded += QChar(QChar::highSurrogate(first));
            folded += QChar(QChar::lowSurrogate(first));
        } else {
            folded += QChar(char16_t(first));
        }
        place.insert(place.size(), folded.size() - place.size(), at);
        at += width;
    }
    place << int(text.size());
    QVector<Range> found = find(folded, ChineseVariants::folded(pattern), false);
    for (Range &range : found)
        range = {place.at(range.start), place.at(range.end)};
    return found;
}

} // namespace

QVector<Range> find(const QString &text, const QString &pattern, bool variants)
{
    if (variants)
        return findFolded(text, pattern);
    QVector<Segment> segments;
    for (const QString &piece : asciiFolded(pattern).split(AnyRun, Qt::SkipEmptyParts))
        segments << Segment(piece);
    QVector<Range> found;
    if (segments.isEmpty())
        return found;
    const QString folded = asciiFolded(text);
    for (int pos = 0; pos < folded.size();) {
        const Range match = matchFrom(folded, segments, pos);
        if (match.start < 0)
            break;
        found << match;
        pos = match.end;
    }
    return found;
}

QVector<Range> findInPane(const QString &paneText, const QStringList &patterns, bool variants)
{
    // The pane shows a stored CR LF as one line break (of whichever kind the
    // document holds): match the stored form and count each added CR back out.
    QString stored;
    stored.reserve(paneText.size() + paneText.size() / 16);
    QVector<int> addedReturns;
    for (QChar c : paneText) {
        if (TextHelpers::isLineBreak(c)) {
            addedReturns << int(stored.size());
            stored += QLatin1Char('\r');
            c = QLatin1Char('\n');
        }
        stored += c;
    }
    const auto toPane = [&](int at) {
        return at - int(std::lower_bound(addedReturns.cbegin(), addedReturns.cend(), at) - addedReturns.cbegin());
    };
    QVector<Range> all;
    for (const QString &pattern : patterns)
        for (const Range &range : find(stored, pattern, variants))
            all << Range{toPane(range.start), toPane(range.end)};
    std::stable_sort(all.begin(), all.end());
    return all;
}

} // namespace LikeMatch

using LikeMatch::Range;

namespace {

const char *MarksName = "searchMarks";
// Marks handed to the edit at once at most; only those in view are needed.
constexpr int MostMarksInView = 4000;
// Around the selected occurrence while the edit is not on screen.
constexpr int HiddenReach = 20000;

} // namespace

TextMarks::TextMarks(QPlainTextEdit *edit, QVector<Range> ranges)
    : QObject(edit), edit_(edit), ranges_(std::move(ranges))
{
    setObjectName(QLatin1String(MarksName));
    edit->installEventFilter(this);
    edit->viewport()->installEventFilter(this);
    Handlers::connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, &TextMarks::markVisible);
    Handlers::connect(edit->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TextMarks::markVisible);
    Handlers::connect(edit->document(), &QTextDocument::contentsChanged, this, &TextMarks::drop);
}

TextMarks *TextMarks::mark(QPlainTextEdit *edit, const QStringList &patterns, bool variants)
{
    clear(edit);
    // The text as stored (toPlainText() would make a no-break space a blank),
    // without the breaks between the pieces of a long line.
    QVector<Range> ranges = LikeMatch::findInPane(PaneText::text(edit), patterns, variants);
    if (ranges.isEmpty())
        return nullptr;
    const QVector<int> pieceBreaks = PaneText::pieceBreaks(edit->document());
    for (Range &range : ranges) // an occurrence never starts or ends on a break
        range = {PaneText::documentPosition(pieceBreaks, range.start),
                 PaneText::documentPosition(pieceBreaks, range.end - 1) + 1};
    auto *marks = new TextMarks(edit, std::move(ranges));
    marks->select(marks->ranges_.first());
    return marks;
}

TextMarks *TextMarks::of(const QPlainTextEdit *edit)
{
    return edit->findChild<TextMarks *>(QLatin1String(MarksName), Qt::FindDirectChildrenOnly);
}

void TextMarks::clear(QPlainTextEdit *edit)
{
    if (TextMarks *marks = of(edit))
        marks->drop();
}

// The text changed under the marks: they no longer fit it.
void TextMarks::drop()
{
    setObjectName(QString());
    for (QObject *sender : {static_cast<QObject *>(edit_->document()), static_cast<QObject *>(edit_->verticalScrollBar()),
                            static_cast<QObject *>(edit_->horizontalScrollBar())})
        QObject::disconnect(sender, nullptr, this, nullptr);
    edit_->removeEventFilter(this);
    edit_->viewport()->removeEventFilter(this);
    edit_->setExtraSelections({});
    deleteLater();
}

void TextMarks::next()
{
    const QTextCursor cursor = edit_->textCursor();
    const int from = cursor.hasSelection() ? cursor.selectionStart() + 1 : cursor.position();
    auto it = std::lower_bound(ranges_.cbegin(), ranges_.cend(), Range{from, from});
    select(it == ranges_.cend() ? ranges_.first() : *it);
}

void TextMarks::previous()
{
    const QTextCursor cursor = edit_->textCursor();
    const int before = cursor.hasSelection() ? cursor.selectionStart() : cursor.position();
    auto it = std::lower_bound(ranges_.cbegin(), ranges_.cend(), Range{before, before});
    select(it == ranges_.cbegin() ? ranges_.last() : *(it - 1));
}

void TextMarks::select(const Range &range)
{
    QTextCursor cursor(edit_->document());
    cursor.setPosition(range.start);
    cursor.setPosition(range.end, QTextCursor::KeepAnchor);
    edit_->setTextCursor(cursor);
    reveal();
}

// Scrolls the selected occurrence to the middle of the view, with its
// context around it, or does so once the edit is shown.
void TextMarks::reveal()
{
    revealPending_ = !edit_->isVisible();
    if (!revealPending_) {
        edit_->centerCursor();
    }
    markVisible();
}

void TextMarks::markVisible()
{
    int first = 0;
    int last = 0;
    if (edit_->isVisible()) {
        first = edit_->cursorForPosition(QPoint(0, 0)).position();
        last = edit_->cursorForPosition(edit_->viewport()->rect().bottomRight()).position();
    } else {
        first = edit_->textCursor().selectionStart() - HiddenReach;
        last = edit_->textCursor().selectionEnd() + HiddenReach;
    }
    auto it = std::lower_bound(ranges_.cbegin(), ranges_.cend(), Range{first, first},
                               [](const Range &a, const Range &b) { return a.end <= b.start; });
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat highlight;
    highlight.setBackground(QColor(0xFF, 0xE0, 0x40));
    highlight.setForeground(QColor(Qt::black)); // readable on yellow in the night scheme too
    for (; it != ranges_.cend() && it->start <= last && marks.size() < MostMarksInView; ++it) {
        QTextCursor cursor(edit_->document());
        cursor.setPosition(it->start);
        cursor.setPosition(it->end, QTextCursor::KeepAnchor);
        marks.append({cursor, highlight});
    }
    edit_->setExtraSelections(marks);
}

bool TextMarks::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == edit_ && (type == QEvent::ShortcutOverride || type == QEvent::KeyPress)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_F3 && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)) {
            // F3 in a marked text is the text's own, not a shortcut of the window.
            event->accept();
            if (type == QEvent::KeyPress)
                modifiers == Qt::ShiftModifier ? previous() : next();
            return true;
        }
    }
    if (type == QEvent::Resize || type == QEvent::Show) {
        // After the edit has laid its text out anew.
        QMetaObject::invokeMethod(this, [this] { revealPending_ ? reveal() : markVisible(); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
