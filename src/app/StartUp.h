#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QCoreApplication>

class QApplication;
class AppError;

namespace StartUp {

inline QString ConnectingText() { return QCoreApplication::translate("StartUp", "正在连接数据库，可能需要几分钟。请稍候..."); }

// The whole program: splash, data module, book, main window, message loop.
// Returns the exit code (1 when the start failed).
int run(QApplication &app);

// The interface language: --lang (then remembered), else the remembered
// choice, else the locale; installs its translation before any window.
void chooseLanguage(QApplication &app);

// What the splash's time is spent on: loading the glyphs of the common
// characters in the reading font (at every place in a pixel Qt tells
// apart) and in the pane's at its remembered zoom, then of the rarer ones
// in the reading font (a zoomed font's glyphs are larger: those are loaded
// when first shown), until done or the deadline.
void warmGlyphs(QDeadlineTimer deadline);

// The text of the "Application Error" box: the kind of error and where it
// arose, then the engine's message ending in a full stop.
QString applicationErrorText(const AppError &error, const QString &where);
// Shows that box without an owner window.
void showApplicationError(const AppError &error, const QString &where);

} // namespace StartUp
