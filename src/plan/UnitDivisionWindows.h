#pragma once

#include "core/WindowTracker.h"

#include <QPointer>

#include <memory>

class QWidget;

namespace tarvo {

class AppContext;
class MainWindowAccess;
class frmUnitDivision;

// The program's one unit/division window, whichever window asks for it, and the refills of the openers'
// unit lists when it closes. The opener puts the place into the hand-over first.
//
// When the window closes, the refill of the window that opened it runs; the record-detail window's
// refill runs as well after a modal opening, and does something while that window's hand-over flag
// (UnitDivFromInfo) stands.
class UnitDivisionWindows
{
public:
    explicit UnitDivisionWindows(AppContext& context);
    ~UnitDivisionWindows();
    UnitDivisionWindows(const UnitDivisionWindows&) = delete;
    UnitDivisionWindows& operator=(const UnitDivisionWindows&) = delete;

    // The main window's menu and the assignment window: the window, modal over parent. A window open
    // without being modal (from the record-detail window) closes first; when it holds an edit it is
    // brought forward instead, with a message, and nothing else opens.
    void runModal(QWidget* parent, OpenerCallback refillOpener);

    // The record-detail window: the window, not modal, shown and tracked by the main window and placed
    // over it. A window already open is brought forward and opened again for the place handed over
    // now, unless it holds an edit, which is kept.
    void showForDetail(OpenerCallback refillDetail, MainWindowAccess& mainWindow);

    // The window while it is open without being modal.
    frmUnitDivision* window() const;

private:
    AppContext& m_context;
    QPointer<frmUnitDivision> m_window;
    // Shared with the open window's close call, which may come after this object has gone.
    std::shared_ptr<OpenerCallback> m_detailRefill;
};

// Places a window over the main window: centred across it, and with its top at half of what is left
// when the window's height is taken from 0.885 of the main window's height.
void placeOverMainWindow(QWidget* window, const QWidget* mainWindow);

} // namespace tarvo
