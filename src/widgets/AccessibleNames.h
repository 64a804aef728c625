#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>
#include <initializer_list>

// Screen readers name a field by its label (the label's buddy) or by the
// name given here, where the label alone is ambiguous (two "章节编号:").
namespace AccessibleNames {

struct Field {
    QLabel *label; // may be null: no label of its own
    QWidget *field;
    QString name;  // empty: the label's text names it
};

inline void tie(std::initializer_list<Field> fields)
{
    for (const Field &f : fields) {
        if (f.label)
            f.label->setBuddy(f.field);
        // Text panes do not take their buddy's text: every field gets its name.
        QString name = f.name.isEmpty() && f.label ? f.label->text() : f.name;
        while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
            name.chop(1);
        f.field->setAccessibleName(name);
    }
}

} // namespace AccessibleNames
