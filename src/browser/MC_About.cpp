#include "browser/MC_About.h"

#include "widgets/Handlers.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QCoreApplication>

namespace {

const QString MakerMail = QStringLiteral("support@mochuan.example");
const QString BusinessMail = QStringLiteral("business@mochuan.example");
const QString MakerQQ = QStringLiteral("800012345");
inline QString MakerAddress() { return QCoreApplication::translate("MC_About", "澜州市墨川路一号"); }
inline QString MakerCopyright() { return QCoreApplication::translate("MC_About", "Copyright © 2026 墨川软件 版权所有"); }
const QString MakerWeb = QStringLiteral("http://www.mochuan.example");

// Through the palette, not a style sheet: a label's style sheet also
// styles its tooltip (blue on a transparent, i.e. black, ground).
void textColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TMac_About::TMac_About()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint)
{
    setObjectName(QStringLiteral("Mac_About"));
    setWindowTitle(QCoreApplication::translate("MC_About", "关于本软件： [墨川软件]"));
    setWindowIcon(QIcon(QStringLiteral(":/browser/aboutIcon.png")));
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);
    setFixedSize(353, 275);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 353, 275);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/browser/about.jpg")));

    Label3 = label("Label3", QCoreApplication::translate("MC_About", "墨川电子阅读系统"), 72, 8);
    QFont title(QStringLiteral("宋体"));
    title.setPixelSize(29);
    title.setBold(true);
    Label3->setFont(title);
    textColour(Label3, Qt::red);
    Label4 = label("Label4", QCoreApplication::translate("MC_About", "最新版本：1.0版"), 86, 48);
    Label5 = label("Label5", QCoreApplication::translate("MC_About", "操作环境：Window 95/98/Me/Xp"), 88, 64);
    Label6 = label("Label6", QStringLiteral("Window NT/2000"), 148, 78);
    Label7 = label("Label7", QCoreApplication::translate("MC_About", "技术支持:") + MakerMail, 88, 96);
    Label9 = label("Label9", QCoreApplication::translate("MC_About", "商务合作:") + BusinessMail, 88, 112);
    Label14 = label("Label14", QCoreApplication::translate("MC_About", "QQ在线支持:") + MakerQQ, 76, 127);
    Label1 = label("Label1", QCoreApplication::translate("MC_About", "地址：") + MakerAddress(), 108, 159);
    Label11 = label("Label11", QCoreApplication::translate("MC_About", "诚征全国各省、市、区代理商"), 182, 191);
    textColour(Label11, Qt::red);
    Label10 = label("Label10", MakerCopyright(), 7, 224);
    textColour(Label10, Qt::blue);
    Label8 = label("Label8", MakerWeb, 8, 251);
    QFont web(QStringLiteral("宋体"));
    web.setPixelSize(16);
    Label8->setFont(web);
    textColour(Label8, Qt::blue);
    Label8->setToolTip(MakerWeb);

    // Sized to their texts once their fonts are final.
    for (QLabel *text : {Label3, Label4, Label5, Label6, Label7, Label9, Label14, Label1, Label11, Label10, Label8})
        text->adjustSize();

    BitBtn3 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QCoreApplication::translate("MC_About", "关闭(Esc)"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setGeometry(260, 239, 85, 30);
    BitBtn3->setAutoDefault(false);
    Handlers::connect(BitBtn3, &QPushButton::clicked, this, &TMac_About::BitBtn3Click);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QLabel *TMac_About::label(const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    // A label paints no background of its own: the picture shows through.
    label->move(left, top);
    label->adjustSize();
    return label;
}

// Esc reaches reject(), which only hides a dialog; so does the title bar.
void TMac_About::BitBtn3Click()
{
    close();
}

TMac_About *TMac_About::find()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("Mac_About"))
            return qobject_cast<TMac_About *>(widget);
    return nullptr;
}

TMac_About *TMac_About::showSingle()
{
    TMac_About *about = find();
    if (!about)
        about = new TMac_About;
    about->show();
    about->raise();
    about->activateWindow();
    return about;
}
