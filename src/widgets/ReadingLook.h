#pragma once

#include <QString>
#include <QStringList>

class QPlainTextEdit;
class TextZoom;

// How texts are read on the screen, beyond their zoom: the night scheme
// (light text on a dark ground) and the reading face. The reading pane's
// choice holds for every text pane opened after it (the results window);
// printing keeps its own black on white and its own faces.
namespace ReadingLook {

// The installed faces that draw Chinese, faces for the mainland forms first
// (a name that marks Taiwan, Hong Kong, Japan or Korea comes later).
QStringList chineseFaces();
// Whether a face's name marks forms other than the mainland's.
bool marksOtherForms(const QString &family);

// The current choice; an empty face is the designed one.
bool night();
void setNight(bool night);
QString face();
void setFace(const QString &family);

// Gives a text pane the night scheme or back its own day colours.
void applyScheme(QPlainTextEdit *pane, bool night);
// A text pane (and its zoom) in the current choice.
void dress(QPlainTextEdit *pane, TextZoom &zoom);

} // namespace ReadingLook
