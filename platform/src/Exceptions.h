#pragma once
// Exception classes of the platform and of the framework the programs were
// designed against. Every failure travels as one of these; messages are the
// user's Italian texts and are shown as they stand.
#include <QString>
#include <exception>

namespace platform {

// Base of every exception the system raises. Carries a QString message;
// what() gives it as UTF-8 for logs and test output.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A value could not be converted (text to number, null to integer, ...).
class EConvertError : public Exception {
    using Exception::Exception;
};

// Arithmetic outside the representable range (Currency overflow, division by zero).
class EOverflowError : public Exception {
    using Exception::Exception;
};

// An index outside a list's range.
class EListError : public Exception {
    using Exception::Exception;
};

// A dataset operation that the dataset's state does not allow, a missing
// field, a damaged dataset file.
class EDataSetError : public Exception {
    using Exception::Exception;
};

// A statement or connection failure reported by the database engine. Its
// message says first, in Italian, what happened and what to do, then the
// engine's own words.
class EDatabaseError : public Exception {
public:
    // What failed, as the engine's error codes tell it.
    enum class Cause {
        // The statement or its data (a value refused by a constraint or a
        // conversion, a missing table): the work of one record or person may
        // fail alone.
        Statement,
        // A value that must be unique is there already (a primary or unique
        // key): written by another connection meanwhile, or a fault of the
        // program; not a record's data as the user typed or imported it.
        Duplicate,
        // The archive's user may not do this (no permission on a table or
        // procedure): the installation's, whatever the record.
        Permission,
        // Another connection changed or holds the row (update conflict,
        // deadlock, a lock wait that timed out): the transaction may be run
        // again from its start.
        Conflict,
        // The archive itself: disk full or another I/O error, the connection
        // lost or shut down, an engine consistency error. Nothing a record's
        // data can mend; whatever runs must end and say so.
        Archive
    };
    explicit EDatabaseError(QString message, Cause cause = Cause::Statement)
        : Exception(std::move(message)), m_cause(cause)
    {
    }
    Cause cause() const { return m_cause; }
    bool archiveFailure() const { return m_cause == Cause::Archive; }

private:
    Cause m_cause;
};

// A file could not be written (its disk full, no permission, its folder
// gone): a fault of the installation, never of the data being written, and
// every later write there would meet it too. Whatever runs ends, saying why;
// the message names the file and the cause.
class EWriteError : public Exception {
    using Exception::Exception;
};

// The silent abort: unwinds the current operation and shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

// A programming error detected at run time. Raised by ZEP_ASSERT in every
// build type; never compiled out.
class EAssertionFailed : public Exception {
    using Exception::Exception;
};

[[noreturn]] void raiseAssertion(const QString &message, const char *file, int line);

} // namespace platform

// The framework's exception classes: error, warning, and the exception with
// a severity and a code. ETovWarning derives from EUqWarning.
class EUqError : public platform::Exception {
    using Exception::Exception;
};
class EUqWarning : public platform::Exception {
    using Exception::Exception;
};
class EUqException : public platform::Exception {
public:
    enum class Severity { Information, Warning, Error };
    EUqException(QString message, Severity severity, int code)
        : Exception(std::move(message)), m_severity(severity), m_code(code)
    {
    }
    Severity severity() const { return m_severity; }
    int code() const { return m_code; }

private:
    Severity m_severity;
    int m_code;
};

// Assertion that stays on in release builds: the message is the text the
// caller gives (for instance "Query: " + name).
#define ZEP_ASSERT(cond, message)                                                                                      \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            ::platform::raiseAssertion((message), __FILE__, __LINE__);                                                 \
    } while (0)
