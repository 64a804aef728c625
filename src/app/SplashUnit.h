#pragma once

#include <QWidget>

class QFrame;
class QLabel;

// The window shown while the program connects to its book.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget *parent = nullptr);

    // Shows the window and has it painted at once, before the caller blocks.
    void showPainted();

    QFrame *Panel1;
    QLabel *Image1;
    QLabel *Labelinfo;
};

