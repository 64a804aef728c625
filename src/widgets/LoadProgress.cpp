#include "widgets/LoadProgress.h"

#include "widgets/Handlers.h"

#include <QApplication>
#include <QProgressDialog>
#include <QCoreApplication>

Seam<int()> LoadProgress::showAfterMs([] { return 500; });

namespace {
constexpr int StepsBetweenLooks = 64; // the clock is read once per so many chapters
constexpr int UpdateEveryMs = 100;
} // namespace

LoadProgress::LoadProgress(QWidget *owner, int maximum)
    : owner_(owner), maximum_(maximum)
{
    clock_.start();
}

LoadProgress::~LoadProgress()
{
    delete dialog_;
    if (arrowShown_)
        QApplication::restoreOverrideCursor();
}

bool LoadProgress::step()
{
    ++loaded_;
    if (!cancelled_ && (showAfterMs() == 0 || loaded_ % StepsBetweenLooks == 0))
        update();
    return !cancelled_;
}

void LoadProgress::update()
{
    const qint64 now = clock_.elapsed();
    if (now < qMax<qint64>(showAfterMs(), nextUpdateMs_))
        return;
    nextUpdateMs_ = now + UpdateEveryMs;
    if (!dialog_) {
        dialog_ = new QProgressDialog(QCoreApplication::translate("LoadProgress", "正在载入章节……"), QCoreApplication::translate("LoadProgress", "取消"), 0,
                                      qMax(maximum_, loaded_), owner_);
        dialog_->setObjectName(QStringLiteral("LoadProgress"));
        dialog_->setWindowTitle(QApplication::applicationDisplayName());
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        // 取消 and Esc (which rejects the dialog) both stop the load.
        Handlers::connect(dialog_.data(), &QProgressDialog::canceled, dialog_.data(), [this] { cancelled_ = true; });
        Handlers::connect(dialog_.data(), &QDialog::rejected, dialog_.data(), [this] { cancelled_ = true; });
        dialog_->show();
        // The load runs under a wait cursor; 取消 wants the ordinary one.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        arrowShown_ = true;
    }
    dialog_->setMaximum(qMax(maximum_, loaded_));
    dialog_->setLabelText(QCoreApplication::translate("LoadProgress", "已载入 %1 个章节").arg(loaded_));
    dialog_->setValue(loaded_);
    QCoreApplication::processEvents(); // the reader's 取消 or Esc comes through here
}
