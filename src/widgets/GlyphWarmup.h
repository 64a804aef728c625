#pragma once

#include <QDeadlineTimer>
#include <QFont>
#include <QString>

// The glyphs of the common Chinese characters, loaded before the reader
// needs them. A character's first drawing in a font reads its outline from
// the font file twice (its width for the layout, then its image), some
// 0.1 ms a character with Noto Serif CJK: the first chapter the tree moved
// to after a search, with hundreds of characters no window had drawn yet,
// took 15-35 ms longer to show than the next one. The start (the splash's
// fixed two seconds) draws them once instead.
namespace GlyphWarmup {

// Printable ASCII and GB2312's punctuation, full-width forms, box drawing
// and 3,755 first-level characters: nine characters in ten of a Chinese text.
QString commonCharacters();
// Big5's punctuation and 5,401 common (traditional) characters, and
// GB2312's 3,008 second-level ones.
QString rarerCharacters();

// Draws the characters in the font as a window draws them (the glyph
// images are kept per drawing path and format) until done or the deadline,
// each at `positions` evenly spaced fractions of a pixel (Qt keeps an image
// per quarter pixel of a glyph's place: after proportional Latin letters or
// punctuation a line's Chinese characters stand off the whole pixel);
// returns how many characters were drawn. A codec Qt lacks leaves its
// characters out.
int draw(const QFont &font, const QString &characters, QDeadlineTimer deadline, int positions = 1);

} // namespace GlyphWarmup
