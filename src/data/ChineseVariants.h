#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// 繁简通查: the simplified and traditional forms of Chinese characters as
// classes of one another's variants, from OpenCC's character dictionaries
// (STCharacters, TSCharacters; Debian's libopencc1.1, turned into text at
// build time). One-to-many mappings join every form: 发, 發 and 髮 are one
// class, and so are forms inside and beyond the Basic Multilingual Plane
// (噁 and 𫫇): folding may change a text's length in UTF-16 units.
namespace ChineseVariants {

// The characters of c's class, c included, in code order.
QList<char32_t> variantsOf(char32_t c);
// Each character replaced by the first of its class: two texts fold alike
// exactly where they differ only in variants.
QString folded(const QString &text);
char32_t foldedChar(char32_t c);
// Every form of a LIKE text that 繁简通查 finds (each character one of its
// variants, wildcards kept), or none when there are more than `most`.
QStringList forms(const QString &likeText, qsizetype most);
// Makes the SQL function ebook_variants_folded(text) (folded() above)
// known to a SQLite connection; it is only read with, never stored, so
// other SQLite programs can still write the book.
void addSqlFunction(const QSqlDatabase &db);

} // namespace ChineseVariants
