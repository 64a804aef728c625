#include "widgets/LineEdits.h"

#include "widgets/Handlers.h"

#include <QLineEdit>
#include <memory>

namespace LineEdits {

void showBeginningWhenSet(QLineEdit *field)
{
    // textEdited comes just before textChanged for the user's edits only.
    auto edited = std::make_shared<bool>(false);
    Handlers::connect(field, &QLineEdit::textEdited, field, [edited] { *edited = true; });
    Handlers::connect(field, &QLineEdit::textChanged, field, [field, edited] {
        if (!*edited)
            field->setCursorPosition(0);
        *edited = false;
    });
}

} // namespace LineEdits
