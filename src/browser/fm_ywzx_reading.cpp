// How the browser window is read: full screen, the night scheme and the
// reading face of the pane.
#include "browser/fm_ywzx.h"

#include "widgets/Handlers.h"
#include "widgets/ReadingLook.h"
#include "widgets/TextZoom.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

void Tywzxform::buildReadingCommands()
{
    // A new window reads in the designed look until told otherwise.
    ReadingLook::setNight(false);
    ReadingLook::setFace(QString());
    FullScreenAction = new QAction(QCoreApplication::translate("fm_ywzx", "全屏"), this);
    FullScreenAction->setObjectName(QStringLiteral("FullScreenAction"));
    FullScreenAction->setShortcut(QKeySequence(Qt::Key_F11));
    addAction(FullScreenAction);
    Handlers::connect(FullScreenAction, &QAction::triggered, this, &Tywzxform::toggleFullScreen);

    PopupMenu2->addSeparator();
    NightAction = PopupMenu2->addAction(QCoreApplication::translate("fm_ywzx", "夜间配色"));
    NightAction->setObjectName(QStringLiteral("NightAction"));
    NightAction->setCheckable(true);
    NightAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    addAction(NightAction); // the key works wherever the focus is in the window
    Handlers::connect(NightAction, &QAction::toggled, this, &Tywzxform::setNightScheme);

    FaceMenu = PopupMenu2->addMenu(QCoreApplication::translate("fm_ywzx", "阅读字体"));
    FaceMenu->setObjectName(QStringLiteral("FaceMenu"));
    FaceMenu->setAccessibleName(FaceMenu->title());
    // Listed when opened: faces may have been installed meanwhile.
    Handlers::connect(FaceMenu, &QMenu::aboutToShow, this, &Tywzxform::listFaces);
}

void Tywzxform::listFaces()
{
    FaceMenu->clear();
    auto *group = new QActionGroup(FaceMenu);
    const auto offer = [this, group](const QString &caption, const QString &family) {
        QAction *action = FaceMenu->addAction(caption);
        action->setObjectName(QStringLiteral("FaceAction"));
        action->setCheckable(true);
        action->setChecked(family == readingFace());
        group->addAction(action);
        Handlers::connect(action, &QAction::triggered, this, [this, family] { setReadingFace(family); });
    };
    offer(QCoreApplication::translate("fm_ywzx", "宋体（默认）"), QString());
    FaceMenu->addSeparator();
    for (const QString &family : ReadingLook::chineseFaces())
        offer(family, family);
}

void Tywzxform::toggleFullScreen()
{
    if (!isFullScreen()) {
        maximisedBeforeFullScreen_ = isMaximized();
        showFullScreen();
    } else if (maximisedBeforeFullScreen_) {
        showMaximized();
    } else {
        showNormal();
    }
}

bool Tywzxform::nightScheme() const { return NightAction->isChecked(); }

void Tywzxform::setNightScheme(bool night)
{
    NightAction->setChecked(night);
    ReadingLook::setNight(night);
    ReadingLook::applyScheme(memo1, night);
}

QString Tywzxform::readingFace() const { return PaneZoom->face(); }

void Tywzxform::setReadingFace(const QString &family)
{
    ReadingLook::setFace(family);
    PaneZoom->setFace(family);
}
