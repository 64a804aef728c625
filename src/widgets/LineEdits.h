#pragma once

class QLineEdit;

namespace LineEdits {

// After the program sets a one-line field's text the field shows its
// beginning (QLineEdit leaves the cursor, and so the view, at the end);
// the user's own edits keep the cursor where they put it.
void showBeginningWhenSet(QLineEdit *field);

} // namespace LineEdits
