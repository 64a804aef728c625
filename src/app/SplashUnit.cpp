#include "app/SplashUnit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QWindow>


TSplashForm::TSplashForm(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(708, 207);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(0, 0, 708, 207);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(2, 2, 704, 203);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/app/banner.jpg")));

    Labelinfo = new QLabel(Panel1);
    Labelinfo->setObjectName(QStringLiteral("Labelinfo"));
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    Labelinfo->setFont(font);
    Labelinfo->setStyleSheet(QStringLiteral("color: blue; background: transparent;"));
    Labelinfo->move(16, 187);
}

void TSplashForm::showPainted()
{
    Labelinfo->adjustSize();
    Labelinfo->setFixedHeight(qMax(12, Labelinfo->sizeHint().height()));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    // Wait (briefly) until the window system shows the window, then paint.
    QElapsedTimer waited;
    waited.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    repaint();
    QApplication::processEvents();
    QGuiApplication::sync();
}
