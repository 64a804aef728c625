#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one error type of the program. Event handlers let it through; the
// application's general error report shows its message (EbookApplication).
class AppError : public std::exception {
public:
    // Kinds used by the program, named after the failing operation.
    static constexpr const char *Database = "EDatabaseError";
    static constexpr const char *Conversion = "EVariantTypeCastError";
    static constexpr const char *DateConversion = "EConvertError";
    static constexpr const char *FileOpen = "EFOpenError";
    static constexpr const char *BookFile = "EBookFileError";
    static constexpr const char *ServerSetup = "EServerConfigError";
    // A save met a row with its code that another station wrote meanwhile.
    static constexpr const char *DuplicateCode = "EDuplicateCodeError";
    // The server connection was found gone (closed; the next action reconnects).
    static constexpr const char *ConnectionLost = "EConnectionLost";
    // Another writer held the book longer than a statement waits.
    static constexpr const char *Busy = "EBookBusy";
    // A save killed halfway left its journal, which a connection that may
    // only read cannot roll back: the book is not read, not unsound.
    static constexpr const char *UnfinishedSave = "EUnfinishedSave";

    AppError(const QString &kind, const QString &message)
        : kind_(kind), message_(message), utf8_(message.toUtf8()) {}

    const QString &kind() const { return kind_; }
    const QString &message() const { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString kind_;
    QString message_;
    QByteArray utf8_;
};
