#pragma once
// The framework's transaction and id generator over platform::Database.
//
// TUqTransaction is an RAII object: a transaction it started and did not
// commit is rolled back when the object goes away (an exception unwinding
// through the caller included). A Database holds one transaction at a time:
// Start() refuses to run when one is active, StartOrJoin() joins it and
// leaves commit and rollback to whoever started it.
#include "Database.h"

#include <QString>

class TUqTransaction {
public:
    // On `database`, or on the global connection when none is given
    // (EDatabaseError "Connessione al database non consentita" without one).
    explicit TUqTransaction(platform::Database *database = nullptr);
    ~TUqTransaction();
    TUqTransaction(const TUqTransaction &) = delete;
    TUqTransaction &operator=(const TUqTransaction &) = delete;

    // Starts a transaction; EDatabaseError when the connection is in one
    // already or this object holds one.
    void Start();
    // Starts one when the connection has none (returns true: this object
    // owns it); otherwise joins the active one (returns false: Commit and
    // Rollback then do nothing, the owner decides).
    bool StartOrJoin();
    // Commit and Rollback of an owned transaction; EDatabaseError when this
    // object neither owns nor joined one.
    void Commit();
    void Rollback();

    // This object owns an active transaction (one a failed commit or a lost
    // connection ended is not).
    bool InTransaction() const { return m_owned && m_db->inTransaction(); }
    // This object joined a transaction started elsewhere.
    bool Joined() const { return m_joined; }
    platform::Database &Database() const { return *m_db; }

private:
    platform::Database *m_db;
    bool m_owned = false;
    bool m_joined = false;
};

// The framework's id generator: the next value of the Firebird generator of
// the table (one per table, named by GeneratorName and created by the
// table's DDL script: CREATE SEQUENCE GEN_<TABLE>). Runs on `database`, or
// on the global connection. Generators stand outside transactions: an id
// once given is never given again, even when the transaction that asked
// for it is rolled back. A missing generator raises EDatabaseError naming
// the table. With a count above 1, reserves that many consecutive ids in one
// step and returns the first.
qint64 GenerateID(const QString &tableName, platform::Database *database = nullptr, int count = 1);
// "GEN_" + the table name in capitals ("GEN_TAFI_ANAFISCALE"); Firebird
// names are at most 31 characters (EDatabaseError beyond).
QString GeneratorName(const QString &tableName);
