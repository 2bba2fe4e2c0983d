#pragma once

#include <QString>

class QWidget;

namespace tarvo {

// What other subsystems' windows may change on the main window: its caption, the user-accounts command
// and the update command. The main window implements it; tests supply a fake.
class MainWindowAccess
{
public:
    virtual ~MainWindowAccess() = default;

    virtual void setMainCaption(const QString& caption) = 0;
    virtual QString mainCaption() const = 0;

    // mnuMaklumatPengguna ("Tarvo User ID").
    virtual void setUserAccountsEnabled(bool enabled) = 0;
    virtual bool userAccountsEnabled() const = 0;

    // mnuWebPatch and its toolbar button: enabled and shown when an update exists.
    virtual void setWebPatchAvailable(bool available) = 0;

    // The main window itself, as the parent of dialogs.
    virtual QWidget* mainWidget() = 0;

    // Shows a window that another window opened (the record detail window from the search window, say)
    // as a child window centred in the main window's window area. The main window tracks it like its
    // own child windows: Exit, Change Login and a change of database close it. It is deleted when it
    // closes.
    virtual void showChildWindow(QWidget* window) = 0;

    // Shows a window that another window opened as a window of its own over the main window, not modal
    // (the unit window of the record detail window, the live-device window), tracked in the same way.
    // It is deleted when it closes.
    virtual void showOwnedWindow(QWidget* window) = 0;
};

// Runs the sign-in dialog for the main window. The accounts subsystem supplies it.
class SignInDialogRunner
{
public:
    virtual ~SignInDialogRunner() = default;

    // Shows the sign-in dialog modally. Returns true when someone signed in (the Session and the main
    // caption are then set), false when the user chose Exit, or Cancel during Change Login
    // (Session.ChangingLogin tells which case it is).
    virtual bool runSignIn(QWidget* parent) = 0;
};

} // namespace tarvo
