#include "widgets/TextZoom.h"

#include "widgets/Handlers.h"

#include <QShortcut>
#include <QAbstractScrollArea>
#include <QWheelEvent>

namespace {
int last = 100;
}

TextZoom::TextZoom(QAbstractScrollArea *text, QWidget *window)
    : QObject(text), text_(text), designed_(text->font())
{
    setObjectName(QStringLiteral("TextZoom"));
    const auto key = [this, window](const QKeySequence &keys, void (TextZoom::*step)()) {
        auto *shortcut = new QShortcut(keys, window);
        Handlers::connect(shortcut, &QShortcut::activated, this, step);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), &TextZoom::zoomIn);
    key(QKeySequence(Qt::CTRL | Qt::Key_Plus), &TextZoom::zoomIn);
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), &TextZoom::zoomIn);
    key(QKeySequence(Qt::CTRL | Qt::Key_Minus), &TextZoom::zoomOut);
    key(QKeySequence(Qt::CTRL | Qt::Key_0), &TextZoom::reset);
    text->viewport()->installEventFilter(this);
    setPercent(last);
}

void TextZoom::setPercent(int percent)
{
    percent_ = qBound(Smallest, percent, Largest);
    last = percent_;
    QFont font = zoomed(designed_, percent_);
    if (!face_.isEmpty()) {
        const QStringList designedFaces = designed_.families();
        font.setFamilies(QStringList(face_) + (designedFaces.isEmpty() ? QStringList(designed_.family()) : designedFaces));
    }
    text_->setFont(font);
}

void TextZoom::setFace(const QString &family)
{
    face_ = family;
    setPercent(percent_);
}

QFont TextZoom::zoomed(const QFont &designed, int percent)
{
    percent = qBound(Smallest, percent, Largest);
    QFont font = designed;
    if (designed.pixelSize() > 0)
        font.setPixelSize(qMax(1, qRound(designed.pixelSize() * percent / 100.0)));
    else
        font.setPointSizeF(designed.pointSizeF() * percent / 100.0);
    return font;
}

void TextZoom::setLastPercent(int percent) { last = qBound(Smallest, percent, Largest); }

bool TextZoom::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    auto *wheel = static_cast<QWheelEvent *>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    const int delta = wheel->angleDelta().y();
    if (delta > 0)
        zoomIn();
    else if (delta < 0)
        zoomOut();
    return true;
}
