#pragma once

#include "common/AppError.h"

#include <QByteArray>
#include <QLabel>
#include <QString>

// A picture box that reports double clicks, and Enter or Space while it
// has the focus (a frame shows that it has).
class PictureBox : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void doubleClicked();
protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// Choosing a chapter's photo, with a preview, and reading its file.
namespace PhotoPicker {

const qint64 LargestPhoto = 20 * 1024 * 1024;

// A file chooser with a preview of the selected picture; empty on Cancel.
QString choosePicture(QWidget *parent);
// The error of a photo file that cannot be read (none picked: how to pick one).
AppError cannotOpen(const QString &path, const QString &reason);
QByteArray readPictureFile(const QString &path);

} // namespace PhotoPicker
