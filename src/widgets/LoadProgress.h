#pragma once

#include "common/Seam.h"

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;
class QWidget;

// The progress of a long load of the tree: once it has run for a while, a
// modal dialog shows the chapters loaded so far and lets the reader stop it
// with 取消 or Esc.
class LoadProgress {
public:
    LoadProgress(QWidget *owner, int maximum);
    ~LoadProgress();
    LoadProgress(const LoadProgress &) = delete;
    LoadProgress &operator=(const LoadProgress &) = delete;

    // Counts one chapter loaded; false once the reader has cancelled.
    bool step();
    bool cancelled() const { return cancelled_; }
    void setMaximum(int maximum) { maximum_ = maximum; }
    int loaded() const { return loaded_; }

    // How long a load runs before the dialog shows (tests set 0).
    static Seam<int()> showAfterMs;

private:
    void update();

    QWidget *owner_;
    int maximum_;
    int loaded_ = 0;
    bool cancelled_ = false;
    QElapsedTimer clock_;
    qint64 nextUpdateMs_ = 0;
    QPointer<QProgressDialog> dialog_;
    bool arrowShown_ = false; // over the wait cursor of the load, for 取消
};
