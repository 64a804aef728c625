#pragma once

#include "bookcare/BookSchema.h"
#include <QString>

// Large books for benchmarks: chapters in a tree of a given fan-out (filled
// level by level), articles spread over the chapters without child chapters,
// and chapter texts of a given size, a word planted in a share of them.
namespace Generator {

// The most chapters (and articles) a generated book holds.
constexpr int MaxCount = 999999;

struct Options {
    int chapters = 1000;
    int fanout = 10;
    int articles = 1000;
    int textBytes = 200;
    QString word;
    double wordPercent = 0;
    // Texts drawn from an order-1 character chain trained on this UTF-8
    // file (realistic text: many distinct pairs and triples), not from a few lines.
    QString chainFile;
    // Each text one line without any line break (a text of one endless line).
    bool noBreaks = false;
};

struct Result {
    int depth = 0;
    int chaptersWithWord = 0;
};

Result write(const QString &path, const Options &options,
             BookSchema::Index index = BookSchema::Index::Without);

} // namespace Generator
