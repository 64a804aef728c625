#include "widgets/MessageBoxes.h"

#include "common/AppInfo.h"
#include "common/TextHelpers.h"

#include <QApplication>
#include <QCoreApplication>

namespace MessageBoxes {

static QMessageBox::StandardButton showReal(const Request &request)
{
    // Lines joined by a lone carriage return are shown as lines.
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(request.icon, request.caption, text, request.buttons, request.parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    const int answer = box.exec();
    if (QAbstractButton *clicked = box.clickedButton())
        return box.standardButton(clicked);
    return QMessageBox::StandardButton(answer);
}

Seam<QMessageBox::StandardButton(const Request &)> show(showReal);

void generalError(const QString &message)
{
    show({QApplication::activeWindow(), AppInfo::Title(), TextHelpers::withFullStop(message),
          QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
}

void inputError(QWidget *parent, const QString &text)
{
    show({parent, QCoreApplication::translate("MessageBoxes", "错误提示"), text, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
}

bool confirmWarning(QWidget *parent, const QString &text)
{
    return show({parent, QCoreApplication::translate("MessageBoxes", "警告"), text, QMessageBox::Warning,
                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel})
           == QMessageBox::Ok;
}

void searchInfo(QWidget *parent, const QString &text)
{
    show({parent, QCoreApplication::translate("MessageBoxes", "系统提示"), text, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok});
}

} // namespace MessageBoxes
