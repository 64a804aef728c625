#pragma once

#include <QIcon>
#include <QPixmap>
#include <QVector>

// The six 16 × 16 pictures of the chapter tree, drawn by the program:
// 0 a hand pointing right, 1 a hand pointing down, 2 a closed book,
// 3 an open book, 4 a blank sheet, 5 a written sheet.
class ImageList {
public:
    static const ImageList &tree();
    int count() const { return int(images_.size()); }
    const QPixmap &image(int index) const { return images_.at(index); }
    // The icon of a node: `image` normally, `selectedImage` while selected.
    QIcon icon(int image, int selectedImage) const;

private:
    ImageList();
    QVector<QPixmap> images_;
    QVector<QPixmap> denser_[2]; // the same at 1.5 and 2 times the pixels, for denser screens
    mutable QVector<QIcon> icons_;
};
