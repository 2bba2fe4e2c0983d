#pragma once

#include "assign/RecordSearch.h"
#include "records/RecordsServices.h"

#include <QPointer>

class QWidget;

namespace tarvo {

class frmCarian;
class frmMaklumatIP;

// The search window and the one detail window of the program, which the search window opens. Lives as
// long as the program's window registrations.
class RecordWindows
{
public:
    explicit RecordWindows(RecordsServices services);

    // A new search window (the main window's "Search Record").
    frmCarian* createSearchWindow(QWidget* parent = nullptr);

    // Shows the record that DetailSQL names in the detail window, which is opened as a child window of
    // the main window when none is open. A detail window already open is brought forward and linked
    // to this search window; it shows the requested record unless it holds an edit, which is kept.
    void showDetail(const RecordSearch& DetailSQL, frmCarian& searchWindow);

    // The detail window, while it is open.
    frmMaklumatIP* detailWindow() const;

private:
    RecordsServices m_services;
    QPointer<frmMaklumatIP> m_detail;
};

} // namespace tarvo
