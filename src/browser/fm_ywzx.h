#pragma once

#include <QMainWindow>

// The browser window: the program's main window.
class Tywzxform : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window and runs its creation handler; an error raised by
    // the handler is shown by the general error report and the window is
    // created all the same.
    static Tywzxform *create(QWidget *parent = nullptr);

    QString rootLabel() const { return rootLabel_; }

protected:
    explicit Tywzxform(QWidget *parent = nullptr);
    void FormCreate();

private:
    QString rootLabel_;
};

extern Tywzxform *ywzxform;
