#include "browser/fm_ywzx.h"

#include "app/SplashUnit.h"
#include "common/AppError.h"
#include "common/Labels.h"
#include "common/MessageBoxes.h"
#include "data/ywzxDM.h"

Tywzxform *ywzxform = nullptr;

Tywzxform::Tywzxform(QWidget *parent)
    : QMainWindow(parent), rootLabel_(Labels::rootLabel(Labels::DesignedRootName))
{
    setObjectName(QStringLiteral("ywzxform"));
    setWindowTitle(Labels::DesignedCaption);
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(790, 541);
}

Tywzxform *Tywzxform::create(QWidget *parent)
{
    auto *window = new Tywzxform(parent);
    try {
        window->FormCreate();
    } catch (const AppError &error) {
        MessageBoxes::generalError(error.message());
    }
    return window;
}

void Tywzxform::FormCreate()
{
    if (SplashForm)
        SplashForm->hide();
    BookQuery &query = ywzxDMF->ywlbQuery;
    query.close();
    query.setSql({QStringLiteral("select lbmc from ywzx_ywlb where lbbh=\"00000\"")});
    query.open();
    rootLabel_ = Labels::rootLabel(query.fieldAsText(QStringLiteral("lbmc")));
    setWindowTitle(rootLabel_);
}
