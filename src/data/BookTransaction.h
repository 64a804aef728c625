#pragma once

class BookConnection;

// One transaction on the book's connection: begun at construction, rolled
// back at destruction unless committed. It takes the book's write lock at
// once, so two programs saving at the same moment take turns.
class BookTransaction {
public:
    explicit BookTransaction(BookConnection &connection);
    ~BookTransaction();
    BookTransaction(const BookTransaction &) = delete;
    BookTransaction &operator=(const BookTransaction &) = delete;

    void commit();
    void rollback();

private:
    BookConnection &connection_;
    bool active_ = false;
};
