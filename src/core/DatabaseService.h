#pragma once

#include "core/BackgroundWork.h"
#include "core/DatabaseConnection.h"
#include "core/DatabaseFiles.h"
#include "core/DbResult.h"
#include "core/WidgetParts.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

namespace tarvo {

struct ProgramState;
class DatabaseService;

// What a window or a model that keeps queries open on the live database does around a change of it.
struct DatabaseHolderCalls
{
    // Why the holder cannot let go of the database now (a run under way, say); empty when it can.
    std::function<QString()> busyReason{};
    // Drops every query and model it keeps on the live connection, and stops its reads; an unsaved edit
    // stays as it is.
    std::function<void()> release{};
    // The live database changed or came back: reads again what it shows. After a change that failed (the
    // database is as it was) a holder with an unsaved edit is not asked, so that it keeps the edit.
    std::function<void()> reload{};
    // Whether the holder keeps an edit that is not saved yet: typed text that a change of the database
    // would drop. A question about it names the holder's window by its caption.
    std::function<bool()> unsavedEdit{};
    // Drops that edit, as the window's Cancel does.
    std::function<void()> discardEdit{};
};

// A file made ready to become the live database (see DatabaseService::prepareSwitch): brought up to date
// and open on a connection of its own, which closes with this object unless the service adopts it.
class PreparedDatabase
{
public:
    PreparedDatabase() = default;
    ~PreparedDatabase();
    PreparedDatabase(PreparedDatabase&& other) noexcept;
    PreparedDatabase& operator=(PreparedDatabase&&) = delete;
    PreparedDatabase(const PreparedDatabase&) = delete;
    PreparedDatabase& operator=(const PreparedDatabase&) = delete;

    // Whether the user ID asked about has an account in the file (true when none was asked about).
    bool userFound() const { return m_userFound; }

private:
    friend class DatabaseService;
    QString m_path;
    QString m_connectionName;
    bool m_userFound = false;
};

// Registers a holder with the database service for as long as this object lives. Created as a child of
// the window or model that holds the database, so that it goes when its owner goes.
class DatabaseHold final : public QObject
{
    Q_OBJECT
public:
    DatabaseHold(DatabaseService& service, QObject* owner, DatabaseHolderCalls calls);
    ~DatabaseHold() override;

    // Ends every hold inside a window that has closed: the window is deleted only later, and until then
    // its holds neither answer for it nor let go or read again.
    static void endHoldsIn(QObject* closedWindow);

private:
    friend class DatabaseService;
    // The caption of the window that holds the database.
    QString ownerCaption() const;

    QPointer<DatabaseService> m_service;
    DatabaseHolderCalls m_calls;
};

// The one owner of the live database: it opens it, switches to another file, replaces the file by
// another (restore), compacts it and makes consistent copies of it. Before the live connection changes,
// every holder is asked whether it is busy or keeps an unsaved edit (either makes the change fail,
// nothing changed), unless the user agreed to drop the edits (DatabaseChangeConsent), and then to let
// go. A change that goes through drops the edits agreed to and has every holder read again; a failure
// leaves the live database as it was, and every edit where it was.
class DatabaseService final : public QObject
{
    Q_OBJECT
public:
    // Keeps DatabasePath and DatabaseFolder of the program state in step with the live file.
    explicit DatabaseService(ProgramState& program);
    ~DatabaseService() override;
    DatabaseService(const DatabaseService&) = delete;
    DatabaseService& operator=(const DatabaseService&) = delete;

    // The live connection, for the stores. Ask it for its handle per operation.
    const DatabaseConnection& connection() const { return m_connection; }
    QSqlDatabase handle() const { return m_connection.handle(); }
    bool isOpen() const { return m_connection.isOpen(); }

    // The operations below run their long part on a thread of their own while this thread's events keep
    // flowing (see runInBackground); until one returns, every other change or copy of the database is
    // refused with what is under way (busyReason(), operationUnderWay()).

    // Makes the file at path the live database: the file is checked and brought up to date first (see
    // prepareSwitch), then the holders let go, the live connection moves to it and the holders read
    // again. When userId is not empty, tells whether that user ID has an account in the file. On failure
    // (the file is no Tarvo database, a holder is busy) nothing changes.
    DbResult<bool> switchTo(const QString& path, const QString& userId = {});

    // The steps of switchTo apart, for a command that closes windows in between: everything that can
    // refuse the file (its check, its upgrade, the opening of a connection to it) happens here, and the
    // live database is not touched. When userId is not empty, the result tells whether that user ID has
    // an account in the file.
    DbResult<PreparedDatabase> prepareSwitch(const QString& path, const QString& userId = {});

    // Makes a prepared file the live database, once nothing holds the database any more (the caller
    // asked busyReason() and closed what held it): the holders let go, the live connection moves to the
    // prepared one and the holders read again. Cannot fail.
    void adopt(PreparedDatabase prepared);

    // Looks at the file at path without writing to it (see inspectDatabaseFile), off this thread: it must
    // be a Tarvo database. When userId is not empty, tells whether that user ID has an account in it.
    DbResult<bool> inspectFile(const QString& path, const QString& userId = {});

    // Checks the file at path and brings its schema up to date on a connection of its own, as
    // prepareDatabaseFile does, with the busy pointer showing: on a large database that upgrade builds
    // indexes for many seconds, between upgradeStarted() and upgradeEnded(). When userId is not empty,
    // tells whether that user ID has an account in the file. The live database is not touched.
    DbResult<bool> prepareFile(const QString& path, const QString& userId = {});

    // Copies the database at source (the restore of a backup) into the live file in place, under
    // SQLite's write lock, so that other workstations read the restored rows at their next read and go on
    // writing. The source must be a sound Tarvo database other than the live file; an older one is
    // brought up to date. On any failure, and when the program is killed midway, the live database stays
    // as it was.
    DbOutcome replaceWith(const QString& source);

    // Rewrites the live file without its unused space. *inUse tells, on failure, whether the database
    // was busy: used by another workstation, or held by a window that is busy or keeps an unsaved edit.
    DbOutcome compact(bool* inUse = nullptr);

    // Writes a consistent copy of the live database to target, replacing target only once the copy is
    // complete.
    DbOutcome copyTo(const QString& target) const;

    // Why the live database cannot change now: the operation under way (restore, upgrade...), the
    // reason of a holder that is busy, else, unless the user agreed to drop the edits (see
    // setEditsMayBeDropped), a request to save or cancel the first unsaved edit; empty when it can. Every
    // switch, replacement and compaction is refused for it, so that nothing typed is dropped without the
    // user's consent.
    QString busyReason() const;

    // The operation under way (restore, upgrade...), else the reason of the first holder that is busy (a
    // run, a check under way), unsaved edits left aside; empty when none is.
    QString workInProgress() const;

    // The operation under way (restore, upgrade...), for the user; empty when none.
    const QString& operationUnderWay() const { return m_operation; }

    // The captions of the windows whose holders keep an unsaved edit, each once, oldest first.
    QStringList unsavedEdits() const;

    // Whether the unsaved edits of the moment may be dropped: the user agreed to lose them for the
    // change about to be made (see DatabaseChangeConsent). While they may, they do not refuse a change;
    // the change that goes through drops them before the holders read again.
    void setEditsMayBeDropped(bool agreed) { m_editsMayBeDropped = agreed; }

    // Every holder drops its unsaved edit (the user agreed to lose it).
    void discardEdits();

    // Closes the live connection (the end of the program).
    void close();

Q_SIGNALS:
    // The live database was switched, replaced or compacted; the holders have read again.
    void changed();
    // prepareFile() began to bring a database up to date, which may take long; upgradeEnded() follows
    // when it is over, whatever came of it.
    void upgradeStarted();
    void upgradeEnded();

private:
    friend class DatabaseHold;
    void attach(DatabaseHold* hold);
    void detach(DatabaseHold* hold);
    void releaseAll();
    // After a change of the live database: when it went through, the edits agreed to are dropped and
    // every holder reads again; when it failed, the holders without an unsaved edit read again.
    void finishChange(bool changed);
    // How long the live connection waits for other connections' locks; the operations' own
    // connections wait as long.
    int busyTimeout() const;
    // Runs work off this thread with reason as what is under way meanwhile.
    template <class Work>
    auto runOperation(const QString& reason, const Work& work) const -> decltype(work())
    {
        using Result = decltype(work());
        const BusyCursor busy;
        m_operation = reason;
        Result result = runInBackground<Result>(work);
        m_operation.clear();
        return result;
    }

    ProgramState& m_program;
    DatabaseConnection m_connection;
    QList<DatabaseHold*> m_holds;
    mutable QString m_operation;
    bool m_editsMayBeDropped = false;
};

} // namespace tarvo
