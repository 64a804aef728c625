#pragma once

#include <QFont>
#include <QObject>

class QAbstractScrollArea;
class QWidget;

// The zoom of a text on the screen: Ctrl+wheel over the text, and Ctrl+= /
// Ctrl++ / Ctrl+- / Ctrl+0 anywhere in its window, enlarge, shrink and reset
// it in steps of 10 %, from 50 % to 400 % of its designed font. The font the
// text had when the zoom was attached stays its designed one (printing uses it).
class TextZoom : public QObject {
    Q_OBJECT
public:
    static constexpr int Smallest = 50, Largest = 400, Step = 10;

    TextZoom(QAbstractScrollArea *text, QWidget *window);

    int percent() const { return percent_; }
    void setPercent(int percent);
    void zoomIn() { setPercent(percent_ + Step); }
    void zoomOut() { setPercent(percent_ - Step); }
    void reset() { setPercent(100); }
    QFont designedFont() const { return designed_; }
    // The face the text shows in before its designed ones (empty: the
    // designed font alone); the designed font, and so printing, keep theirs.
    void setFace(const QString &family);
    QString face() const { return face_; }

    // The zoom last chosen in any text: a new text starts at it.
    static void setLastPercent(int percent);
    // The font a text designed in `designed` shows in at percent.
    static QFont zoomed(const QFont &designed, int percent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractScrollArea *text_;
    QFont designed_;
    int percent_ = 100;
    QString face_;
};
