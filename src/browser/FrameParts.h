#pragma once

#include <QLabel>
#include <QString>
#include <QStyle>

class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QKeySequence;
class QToolButton;

// The pieces the browser window's frame is built from, as its design draws them.
namespace FrameParts {

template <class W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QFrame *panel(QWidget *parent, const char *name, bool bevel = true);
QToolButton *speedButton(QWidget *parent, const char *name, const QString &caption, QStyle::StandardPixmap glyph,
                         int left, bool visible = true);
// Widens a band's buttons whose caption (a translation's) is longer than
// the designed button, moving the later ones along, so that no caption is
// cut short.
void fitCaptions(QWidget *band);
// A read-only field on a silver ground that shows the beginning of its text.
QLineEdit *readOnlyEdit(QWidget *parent, const char *name, const QRect &geometry);
// An item of a menu; "-" makes a separator.
QAction *menuItem(QMenu *menu, const char *name, const QString &caption);
// A control's caption with its shortcut, for its tooltip: "打印 (Ctrl+P)".
QString withShortcut(const QString &caption, const QKeySequence &keys);

// A status panel whose text gives way to the window's width: it elides
// instead of raising the window's minimum width (which would cancel the
// maximised state under a window manager). The whole text is its tooltip.
class ElidingPanel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override;
};


} // namespace FrameParts
