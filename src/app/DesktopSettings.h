#pragma once

#include <memory>

#include <QStringList>

class FindDialog;
class QSettings;
class Tywzxform;

// What the reader keeps between runs, per user, in the platform's standard
// configuration place: the main window's geometry and maximised state, the
// splitter, the pane's zoom, its night scheme and reading face, the
// auto-expand mark, the last ten texts of each find dialog and its 繁简通查 box. A missing or damaged file means the
// defaults. Everything is written by save(), at the end.
namespace DesktopSettings {

constexpr int HistorySize = 10;

// The user's settings file ("mochuan/ebook-reader").
std::unique_ptr<QSettings> open();

// Splitter, zoom, auto-expand and the find dialogs' texts; from now on each
// search adds its text to its dialog's list.
void restore(Tywzxform &window);
// Shows the window at its remembered place and state, or maximised (the
// first start, or a geometry that cannot be read); a place that no longer
// fits any screen is brought back onto one.
void showMainWindow(Tywzxform &window);
void save(const Tywzxform &window);
// The reading pane's remembered zoom in percent (100 without one).
int paneZoom();

// A find dialog's remembered texts, newest first, as its box offers them.
QStringList history(const FindDialog &dialog);

} // namespace DesktopSettings
