#include "maintenance/PhotoPicker.h"

#include "common/AppError.h"
#include "common/DateTimeText.h"
#include "widgets/Handlers.h"
#include "common/RegularFile.h"

#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QImageReader>
#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QCoreApplication>

namespace {

// The picture kinds Qt can read here, JPEG, bitmap and icon among them.
QString pictureFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QCoreApplication::translate("ywlbwhFrm", "图片 (%1);;JPEG (*.jpg *.jpeg);;位图 (*.bmp);;图标 (*.ico);;所有文件 (*)")
        .arg(patterns.join(QLatin1Char(' ')));
}

// Qt's file chooser names a folder "Folder" and dates files in the
// machine's locale, English under the C locale: the program's words and
// dates instead.
class ChineseFileTypes : public QFileIconProvider {
public:
    QString type(const QFileInfo &info) const override
    {
        return info.isDir() ? QCoreApplication::translate("ywlbwhFrm", "文件夹") : QFileIconProvider::type(info);
    }
};

class ProgramDates : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        auto *files = qobject_cast<QFileSystemModel *>(sourceModel());
        if (role == Qt::DisplayRole && index.column() == 3 && files)
            return DateTimeText::display(files->lastModified(mapToSource(index)));
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

namespace PhotoPicker {

// A file chooser with a preview of the selected picture.
QString choosePicture(QWidget *parent)
{
    QFileDialog dialog(parent, QCoreApplication::translate("ywlbwhFrm", "打开图片"), QString(), pictureFilter());
    dialog.setObjectName(QStringLiteral("OpenPictureDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ChineseFileTypes types;
    dialog.setIconProvider(&types);
    dialog.setProxyModel(new ProgramDates(&dialog));
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto *preview = new QLabel(&dialog);
    preview->setFixedSize(160, 160);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    Handlers::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString &path) {
        const QPixmap picture = RegularFile::check(path) ? QPixmap(path) : QPixmap();
        preview->setPixmap(picture.isNull() ? QPixmap() : picture.scaled(preview->size(), Qt::KeepAspectRatio));
    });
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

AppError cannotOpen(const QString &path, const QString &reason)
{
    if (path.isEmpty())
        return AppError(AppError::FileOpen,
                        QCoreApplication::translate("ywlbwhFrm", "没有选择照片。请双击照片框选择一张图片，或者去掉“有照片”的勾选。"));
    return AppError(AppError::FileOpen, QCoreApplication::translate("ywlbwhFrm", "无法打开照片文件“%1”：%2。").arg(path, reason));
}

// The bytes of a picture file, read once. Its kind is checked first (a
// FIFO would block the read); a missing or unreadable file fails with the
// reason.
QByteArray readPictureFile(const QString &path)
{
    if (RegularFile::otherKind(path))
        throw cannotOpen(path, RegularFile::refusal());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpen(path, RegularFile::whyNotOpened(path, file));
    return file.read(LargestPhoto + 1);
}

} // namespace PhotoPicker

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space) {
        QLabel::keyPressEvent(event);
        return;
    }
    emit doubleClicked();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = contentsRect().adjusted(1, 1, -1, -1);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}
