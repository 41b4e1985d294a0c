#pragma once
// A statement prepared on a Database's connection as the SQL layer keeps it:
// the engine's statement and, while it runs outside the connection's
// transaction, the short transaction of its own it runs in. Internal to
// Database and SqlQuery.
#include "FbClient.h"
#include "SqlQuery.h"

#include <memory>

namespace platform::detail {

struct PreparedStatement {
    PreparedStatement(fb::Attachment &attachment, fb::Transaction &transaction, const QString &sql)
        : statement(attachment, transaction, sql)
    {
    }

    fb::Statement statement;
    // The result's columns as the SQL layer types them, made at the first
    // execution (the engine describes them once per preparation).
    QList<SqlColumn> columns;
    bool columnsTyped = false;
    // The same as a dataset's field definitions, made at the first load
    // into a dataset: one shared list for every load of the statement's
    // result, which the dataset knows again without comparing it.
    FieldDefs defs;
    bool defsMade = false;
    // The statement's own transaction (a statement run while the connection
    // has none): committed when its result is closed.
    std::unique_ptr<fb::Transaction> own;

    // Ends the own transaction: committed, or rolled back when `commit` is
    // false or the commit fails (then raised).
    void endOwn(bool commit)
    {
        if (!own)
            return;
        std::unique_ptr<fb::Transaction> t = std::move(own);
        statement.transactionEnding(*t);
        if (commit)
            t->commit();
        else
            t->rollback();
    }
    // Frees everything of it on the engine's side; never throws.
    void dispose() noexcept
    {
        statement.dispose();
        own.reset();
    }
};

} // namespace platform::detail
