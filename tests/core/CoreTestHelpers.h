#pragma once

#include "ModalDialogs.h"
#include "TestProgram.h"

#include "core/AppState.h"
#include "core/DatabaseConnection.h"
#include "core/DeliveredDatabase.h"
#include "core/InstanceGuard.h"
#include "core/MDIFrmUtama.h"
#include "core/MainWindowAccess.h"
#include "core/ReplacingFile.h"
#include "core/Sql.h"
#include "core/WindowRegistry.h"
#include "core/WindowTracker.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>

namespace tarvo::test {

using namespace Qt::StringLiterals;

// A sign-in dialog that signs in the scripted users (user ID, group) in turn; with the script empty it
// answers like Exit (or Cancel during Change Login).
class FakeSignIn final : public SignInDialogRunner
{
public:
    explicit FakeSignIn(Session& session) : m_session(session) {}

    bool runSignIn(QWidget* parent) override
    {
        changingLoginSeen << m_session.ChangingLogin;
        if (onRun)
            onRun(parent);
        if (script.empty())
            return false;
        const auto [userId, group] = script.front();
        script.pop_front();
        m_session.LoginUserID = userId;
        m_session.LoginName = userId + u" name"_s;
        m_session.LoginGroup = group;
        m_session.LoginRegion.clear();
        return true;
    }

    std::deque<std::pair<QString, QString>> script;
    QList<bool> changingLoginSeen;
    std::function<void(QWidget*)> onRun;

private:
    Session& m_session;
};

// A child window that may be busy or refuse to close.
class TestChild final : public QWidget, public BusyWindow
{
public:
    explicit TestChild(QWidget* parent) : QWidget(parent) { setFixedSize(320, 200); }
    QString busyReason() const override { return busy; }
    bool refuseClose = false;
    QString busy;

protected:
    void closeEvent(QCloseEvent* event) override { event->setAccepted(!refuseClose); }
};

// A registry whose windows record what was opened: "child:<n>" when a child window is created and
// "dialog:<n>" when a dialog runs, n being the command's number.
class RecordingRegistry
{
public:
    void registerAll()
    {
        for (int n = 0; n <= static_cast<int>(WindowCommand::CompactDatabase); ++n) {
            const auto command = static_cast<WindowCommand>(n);
            const QString name = QString::number(n);
            if (command == WindowCommand::ChangePassword || command == WindowCommand::UnitDivisionSettings ||
                command == WindowCommand::SubnetCalculator || command == WindowCommand::CompactDatabase) {
                registry.registerDialog(command, [this, name](QWidget*) { log << u"dialog:"_s + name; });
                continue;
            }
            registry.registerChild(command, [this, name](QWidget* parent) {
                log << u"child:"_s + name;
                return lastChild = new TestChild(parent);
            });
        }
    }

    WindowRegistry registry;
    QStringList log;
    TestChild* lastChild = nullptr;
};

// The path of the temporary that a write of target leaves when it is killed midway, as the process of
// an id that no process has (above the largest the kernel gives) would name it. The file is not made.
inline QString endedProcessTemporary(const QString& target)
{
    ReplacingFile probe(target);
    if (!probe.open())
        return {};
    const QString pid = u"-%1-"_s.arg(QCoreApplication::applicationPid());
    QString path = probe.temporaryPath();
    return path.replace(path.lastIndexOf(pid), pid.size(), u"-4194305-"_s);
}

// What the desktop was asked to open ("open:<file>") or start ("start:<program> <arguments> in <folder>").
inline QStringList shellCalls(const FakeShell& shell)
{
    QStringList calls;
    for (const QString& opened : shell.opened)
        calls << u"open:"_s + opened;
    for (const auto& started : shell.started)
        calls << u"start:%1 %2 in %3"_s.arg(started.program, started.arguments.join(u'|'), started.folder);
    return calls;
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot be read>");
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// An executable file in the program folder.
inline void addProgram(const TestProgram& p, const QString& name)
{
    QFile file(p.path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

inline QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// The delivered database with the given statements run on it, for example to make it look like one of
// an older version.
inline void makeChangedDatabase(const QString& path, const QStringList& statements)
{
    QVERIFY(createDeliveredDatabase(path));
    auto name = openDatabaseFile(path);
    QVERIFY(name);
    for (const QString& sql : statements) {
        // A database from before the Status column has no index on it either.
        if (sql.contains(u"DROP COLUMN Status"_s))
            QVERIFY(execSql(QSqlDatabase::database(*name, false), u"DROP INDEX IP_Info_Status_Octet4"_s));
        QVERIFY2(execSql(QSqlDatabase::database(*name, false), sql), qPrintable(sql));
    }
    closeDatabaseFile(*name);
}

inline const QString DropStartIPRange = u"ALTER TABLE City DROP COLUMN StartIPRange"_s;
inline const QString DropToIPRange = u"ALTER TABLE City DROP COLUMN ToIPRange"_s;
inline const QString DropStatus = u"ALTER TABLE IP_Info DROP COLUMN Status"_s;

// A Tarvo database from before the City range columns.
inline void makeOldDatabase(const QString& path)
{
    makeChangedDatabase(path, {DropStartIPRange, DropToIPRange});
}

// A program with every window registered (unless asked otherwise), a sign-in that signs in an
// administrator of the given group (none: Exit), and its main window not yet started.
struct MainRig
{
    explicit MainRig(const QString& group = GroupSistem, bool withSignIn = true, bool registerAll = true)
        : signIn(p.session)
    {
        // A recorded database folder: no first-run offer unless a test asks for it.
        p.context.WriteINI(u"Database"_s, u"DatabaseLocation"_s, p.folder());
        if (registerAll)
            windows.registerAll();
        if (!group.isEmpty())
            signIn.script.push_back({u"admin"_s, group});
        window = std::make_unique<MDIFrmUtama>(p.context, windows.registry, withSignIn ? &signIn : nullptr);
    }

    bool start() { return window->start(); }
    QAction* action(const QString& name) const { return window->findChild<QAction*>(name); }
    // The child windows that stand open in the window area.
    QList<QMdiSubWindow*> children() const
    {
        QList<QMdiSubWindow*> open = window->findChild<QMdiArea*>()->subWindowList();
        open.removeIf([](const QMdiSubWindow* sub) { return !sub->isVisible(); });
        return open;
    }

    TestProgram p;
    RecordingRegistry windows;
    FakeSignIn signIn;
    std::unique_ptr<MDIFrmUtama> window;
};

} // namespace tarvo::test
