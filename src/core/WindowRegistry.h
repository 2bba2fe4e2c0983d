#pragma once

#include <QHash>

#include <functional>

class QWidget;

namespace tarvo {

// The main window's commands that open a window of another subsystem. The main window reaches those
// windows only through the registry, which src/app fills, so that core depends on no higher subsystem.
enum class WindowCommand
{
    AssignNewIP,          // mnuInputRekod, child window (assignment window, new mode)
    AssignDedicatedIP,    // mnuDedicatedIP, same child window, dedicated mode
    ScanNetwork,          // mnuScanNetwork, same child window, scan mode
    SearchRecord,         // mnuCarianRekod, child window
    ChangePassword,       // mnuTukarPassword, modal dialog
    IPAddressSettings,    // mnuIPAddressSetting, child window
    UnitDivisionSettings, // mnuUnitDivision, modal dialog
    ReportByLocation,     // mnuRptLocation, child window
    ReportByDate,         // mnuRptByDate, child window
    UserAccounts,         // mnuMaklumatPengguna, child window
    BackupRestore,        // mnuBackupRestore, child window
    AssignLog,            // mnuAssignLog, child window
    SubnetCalculator,     // mnuSubnetCalculator, modal dialog
    CompactDatabase,      // mnuCompactDB, an action (no window of its own)
};

// What opens the window of each command. A command with nothing registered stays disabled in the main
// window.
class WindowRegistry
{
public:
    // Creates a child window: a widget that the main window shows centred in its window area, one
    // instance per command at a time. The widget is deleted when its window closes.
    using ChildFactory = std::function<QWidget*(QWidget* parent)>;
    // Runs a modal dialog (or an action) and returns when it is done.
    using DialogRunner = std::function<void(QWidget* parent)>;

    void registerChild(WindowCommand command, ChildFactory factory);
    void registerDialog(WindowCommand command, DialogRunner runner);

    bool has(WindowCommand command) const;
    bool isChild(WindowCommand command) const;

    // Empty functions when nothing is registered.
    ChildFactory child(WindowCommand command) const;
    DialogRunner dialog(WindowCommand command) const;

private:
    QHash<int, ChildFactory> m_children;
    QHash<int, DialogRunner> m_dialogs;
};

// Closes the window that holds a widget: the main window's sub-window around a child window, or the
// widget itself when it stands alone (as in tests). Child windows call it from their Close buttons.
void closeWindowOf(QWidget* widget);

} // namespace tarvo
