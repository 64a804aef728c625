#pragma once

#include <QString>

// Text between the first occurrence of startTag and the first occurrence of
// endTag (the end tag is searched from the start of s, not after the start
// tag). Empty when either tag is missing or empty, or when the end tag does
// not lie after the start tag.
QString CopyBetween(QString s, QString startTag, QString endTag);

// Text before the first occurrence of delimiter; empty when it does not occur.
QString CopyBefore(QString s, QString delimiter);
