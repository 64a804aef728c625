#pragma once

#include "common/Language.h"

#include <memory>
#include <optional>

#include <QStringList>

class FindDialog;
class QSettings;
class Tywzxform;

// What the reader keeps between runs, per user, in the platform's standard
// configuration place: the main window's geometry and maximised state, the
// splitter, the pane's zoom, its night scheme and reading face, the
// auto-expand mark, the print's bare choice, the interface's language, the
// last ten texts of each find dialog and its 繁简通查 box; per book (its
// path or server address), the place read last and the bookmarks. A missing
// or damaged file means the defaults. Everything is written by save(), at
// the end, but the bookmarks, written as the reader changes them.
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

// The interface language chosen in the menu or by --lang; nothing when
// never chosen (or unreadable): the locale decides.
std::optional<Language::Choice> language();
// Written at once: the choice holds even if this run ends badly.
void setLanguage(Language::Choice choice);

// A find dialog's remembered texts, newest first, as its box offers them.
QStringList history(const FindDialog &dialog);

} // namespace DesktopSettings
