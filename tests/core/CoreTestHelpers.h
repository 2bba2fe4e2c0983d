#pragma once

#include "ModalDialogs.h"

#include "core/AppState.h"
#include "core/InstanceGuard.h"
#include "core/MainWindowAccess.h"
#include "core/WindowRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

namespace tarvo::test {

// An instance guard with a fixed answer.
class FakeInstanceGuard final : public InstanceGuard
{
public:
    explicit FakeInstanceGuard(bool free) : m_free(free) {}
    bool tryAcquire() override
    {
        ++calls;
        return m_free;
    }
    int calls = 0;

private:
    bool m_free;
};

// A sign-in dialog that signs in the scripted users in turn; with the script empty it answers like
// Exit (or Cancel during Change Login).
class FakeSignIn final : public SignInDialogRunner
{
public:
    struct User
    {
        QString userId;
        QString group;
    };

    explicit FakeSignIn(Session& session) : m_session(session) {}

    bool runSignIn(QWidget* parent) override
    {
        changingLoginSeen << m_session.ChangingLogin;
        if (onRun)
            onRun(parent);
        if (script.empty())
            return false;
        const User user = script.front();
        script.pop_front();
        m_session.LoginUserID = user.userId;
        m_session.LoginName = user.userId + QStringLiteral(" name");
        m_session.LoginGroup = user.group;
        m_session.LoginRegion.clear();
        return true;
    }

    std::deque<User> script;
    QList<bool> changingLoginSeen;
    std::function<void(QWidget*)> onRun;

private:
    Session& m_session;
};

// A child window that may refuse to close.
class TestChild final : public QWidget
{
public:
    explicit TestChild(QWidget* parent) : QWidget(parent) { setFixedSize(320, 200); }
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }
};

// A registry whose windows record what was opened: "child:<n>" when a child window is created and
// "dialog:<n>" when a dialog runs, n being the command's number.
class RecordingRegistry
{
public:
    static constexpr WindowCommand Children[] = {
        WindowCommand::AssignNewIP,  WindowCommand::AssignDedicatedIP, WindowCommand::ScanNetwork,
        WindowCommand::SearchRecord, WindowCommand::IPAddressSettings, WindowCommand::ReportByLocation,
        WindowCommand::ReportByDate, WindowCommand::UserAccounts,      WindowCommand::BackupRestore,
        WindowCommand::AssignLog};
    static constexpr WindowCommand Dialogs[] = {
        WindowCommand::ChangePassword, WindowCommand::UnitDivisionSettings, WindowCommand::SubnetCalculator,
        WindowCommand::CompactDatabase};

    static QString name(WindowCommand command) { return QString::number(static_cast<int>(command)); }

    void registerAll()
    {
        for (WindowCommand command : Children)
            registerChild(command);
        for (WindowCommand command : Dialogs)
            registerDialog(command);
    }
    void registerChild(WindowCommand command)
    {
        registry.registerChild(command, [this, command](QWidget* parent) {
            log << QStringLiteral("child:") + name(command);
            auto* child = new TestChild(parent);
            child->setObjectName(QStringLiteral("child") + name(command));
            lastChild = child;
            return child;
        });
    }
    void registerDialog(WindowCommand command)
    {
        registry.registerDialog(
            command, [this, command](QWidget*) { log << QStringLiteral("dialog:") + name(command); });
    }

    WindowRegistry registry;
    QStringList log;
    TestChild* lastChild = nullptr;
};

// The child windows that stand open in a main window's window area.
inline QList<QMdiSubWindow*> openChildren(QWidget* mainWindow)
{
    QList<QMdiSubWindow*> open;
    if (auto* area = mainWindow->findChild<QMdiArea*>()) {
        for (QMdiSubWindow* sub : area->subWindowList()) {
            if (sub->isVisible())
                open << sub;
        }
    }
    return open;
}

} // namespace tarvo::test
