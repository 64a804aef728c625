#include "data/BookEngine.h"


#include <QSqlError>
#include <QCoreApplication>

QString engineMessage(const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    const QString text = database.isEmpty() ? error.text().trimmed() : database;
    return text.isEmpty() ? QCoreApplication::translate("BookEngine", "数据库没有说明原因") : text;
}

AppError BookEngine::busy(const QString &message, const Waits &waits)
{
    return AppError(AppError::Busy, QCoreApplication::translate("BookEngine", "图书正忙：另一处正在保存，等了 %1 秒仍未轮到这一操作（%2）。"
                                                   "这一操作没有完成，没有写入任何内容；请稍后再试。")
                                        .arg(QString::number(waits.lockTimeout / 1000.0), message));
}
