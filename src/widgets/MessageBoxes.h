#pragma once

#include "common/Seam.h"

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// Every message box of the program goes through show(), so that tests can
// answer them without a person (show.replace).
namespace MessageBoxes {

struct Request {
    QWidget *parent = nullptr;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Shows the box and returns the button chosen.
extern Seam<QMessageBox::StandardButton(const Request &)> show;

// The general error report of errors raised inside event handlers: the
// application title as caption, a stop icon, OK, and the text with a full
// stop appended when its last character sorts after ".".
void generalError(const QString &message);

// Input errors of the dialogs: "错误提示", stop icon, OK.
void inputError(QWidget *parent, const QString &text);
// Destructive confirmations: "警告", OK and Cancel, Cancel the default; true on OK.
bool confirmWarning(QWidget *parent, const QString &text);
// Search reports: "系统提示", information icon, OK.
void searchInfo(QWidget *parent, const QString &text);

} // namespace MessageBoxes
