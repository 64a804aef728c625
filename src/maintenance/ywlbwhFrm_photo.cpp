#include "maintenance/ywlbwhFrm.h"

#include "widgets/MessageBoxes.h"

#include <QBuffer>
#include <QCheckBox>
#include <QFileInfo>
#include <QImageReader>
#include <QCoreApplication>

// The chapter's photo in the dialog: the one stored with the chapter, the
// one picked here, and which of them a save stores.

Seam<QString(QWidget *)> TywlbwhForm::OpenPictureDialog1(PhotoPicker::choosePicture);

void TywlbwhForm::showPicture(const QPixmap &picture)
{
    Image1->setPixmap(picture);
}

bool TywlbwhForm::hasPickedPhoto() const
{
    return !pickedPhoto_.isEmpty();
}

// What the photo controls show when no picture was picked in this dialog.
void TywlbwhForm::showStoredPhoto(bool ticked)
{
    if (hasPickedPhoto())
        return;
    CheckBox1->setChecked(ticked);
    QPixmap picture;
    picture.loadFromData(storedPhoto_);
    showPicture(picture);
}

void TywlbwhForm::Image1DblClick()
{
    const QString path = OpenPictureDialog1(this);
    if (path.isEmpty())
        return;
    // A larger picture is refused before it is read (it would also slow down
    // every later load of its chapter).
    const bool tooLarge = QFileInfo(path).size() > PhotoPicker::LargestPhoto;
    const QByteArray bytes = tooLarge ? QByteArray() : PhotoPicker::readPictureFile(path);
    if (tooLarge || bytes.size() > PhotoPicker::LargestPhoto) {
        MessageBoxes::inputError(this, QCoreApplication::translate("ywlbwhFrm", "照片文件超过 20 MB，不能保存。请选择较小的图片后再试！"));
        return;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    if (image.isNull())
        throw PhotoPicker::cannotOpen(path, QCoreApplication::translate("ywlbwhFrm", "它不是可以读取的图片（%1）").arg(reader.errorString()));
    // These bytes, shown now, are the ones a save stores. Picking a photo
    // means keeping it: the box is ticked (and may be unticked again).
    pickedPhoto_ = bytes;
    showPicture(QPixmap::fromImage(image));
    Label1->setText(path);
    Label1->adjustSize();
    CheckBox1->setChecked(true);
}

QByteArray TywlbwhForm::photoToStore() const
{
    if (!CheckBox1->isChecked())
        return QByteArray("nil");
    if (hasPickedPhoto())
        return pickedPhoto_;
    if (!storedPhoto_.isEmpty())
        return storedPhoto_;
    return PhotoPicker::readPictureFile(Label1->text()); // nothing picked: fails with the reason
}
