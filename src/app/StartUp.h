#pragma once

#include <QString>

class QApplication;
class AppError;

namespace StartUp {

inline const QString ConnectingText = QStringLiteral("正在连接数据库，可能需要几分钟。请稍候...");

// The whole program: splash, data module, book, main window, message loop.
// Returns the exit code (1 when the start failed).
int run(QApplication &app);

// The text of the "Application Error" box: the kind of error and where it
// arose, then the engine's message ending in a full stop.
QString applicationErrorText(const AppError &error, const QString &where);
// Shows that box without an owner window.
void showApplicationError(const AppError &error, const QString &where);

} // namespace StartUp
