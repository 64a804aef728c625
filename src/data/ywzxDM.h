#pragma once

#include "data/BookConnection.h"
#include "data/BookQuery.h"
#include "data/BookReader.h"
#include "data/RecordStore.h"

// The data module: the one connection to the book and the queries that
// every window shares. Each user closes a query, replaces its statement,
// sets its parameters and opens or executes it.
class TywzxDMF {
public:
    TywzxDMF();
    TywzxDMF(const TywzxDMF &) = delete;
    TywzxDMF &operator=(const TywzxDMF &) = delete;

    BookConnection ydconn;
    BookQuery ywlbQuery;   // root name, child chapters
    BookQuery ywnrQuery;   // articles of a chapter (keeps its statement)
    BookQuery Query;       // reads
    BookQuery updateQuery; // existence checks and writes

    // The reader's and the dialogs' stores, handed the connection and
    // queries above.
    BookReader reader;
    ChapterStore chapterStore;
    ArticleStore articleStore;
};

// The instance of the running program (created at start-up).
extern TywzxDMF *ywzxDMF;
