#include "browser/FrameParts.h"

#include "widgets/LineEdits.h"

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QToolButton>
#include <algorithm>

namespace FrameParts {

QFrame *panel(QWidget *parent, const char *name, bool bevel)
{
    auto *frame = named(new QFrame(parent), name);
    frame->setFrameStyle(bevel ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
    return frame;
}

QToolButton *speedButton(QWidget *parent, const char *name, const QString &caption, QStyle::StandardPixmap glyph,
                         int left, bool visible)
{
    auto *button = named(new QToolButton(parent), name);
    button->setText(caption);
    button->setIcon(parent->style()->standardIcon(glyph));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setGeometry(left, 1, 99, 33);
    button->setVisible(visible);
    return button;
}

void fitCaptions(QWidget *band)
{
    QList<QToolButton *> buttons = band->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly);
    std::sort(buttons.begin(), buttons.end(), [](const QToolButton *a, const QToolButton *b) { return a->x() < b->x(); });
    int shift = 0;
    for (QToolButton *button : buttons) {
        const int growth = std::max(0, button->sizeHint().width() - button->width());
        button->setGeometry(button->geometry().translated(shift, 0).adjusted(0, 0, growth, 0));
        shift += growth;
    }
    if (shift > 0)
        band->setFixedWidth(band->minimumWidth() + shift);
}

QLineEdit *readOnlyEdit(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *edit = named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    LineEdits::showBeginningWhenSet(edit);
    edit->setGeometry(geometry);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0)); // silver
    edit->setPalette(palette);
    return edit;
}

QAction *menuItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QString withShortcut(const QString &caption, const QKeySequence &keys)
{
    QString plain = caption;
    plain.remove(QLatin1Char('&'));
    const int bracket = plain.indexOf(QRegularExpression(QStringLiteral("[(\\[]")));
    if (bracket > 0)
        plain.truncate(bracket);
    return QStringLiteral("%1 (%2)").arg(plain, keys.toString(QKeySequence::NativeText));
}

void ElidingPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(2, 0, -2, 0);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}

} // namespace FrameParts
