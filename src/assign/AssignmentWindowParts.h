#pragma once

#include <functional>

class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class QWidget;

namespace tarvo {

class AppContext;
class AssignmentWindowLink;
class BulkRun;
class DetailFields;
class IpRecordStore;
class PlanStore;
class SelectionPage;
class UsedAddressModel;
struct AssignmentServices;
struct AssignmentState;

// The controls of the assignment window outside its selection area and its detail fields.
struct AssignmentControls
{
    QTabWidget* SSTab1 = nullptr;
    QTableView* gridData = nullptr;
    QLabel* lblJumlah = nullptr;
    QLabel* lblRekodKe = nullptr;
    QLabel* lblBilangan = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdBatal = nullptr;
    QPushButton* cmdTutup = nullptr;
};

// Everything of the assignment window that its flows (the proposal of each mode, the save, the scan)
// work on. The window owns it all and outlives the flows.
struct AssignmentWindowParts
{
    QWidget& window;
    AppContext& context;
    AssignmentServices& services;
    AssignmentState& state;
    IpRecordStore& store;
    PlanStore& plan;
    BulkRun& run;
    SelectionPage& selection;
    DetailFields& details;
    UsedAddressModel& usedList;
    AssignmentWindowLink& link;
    AssignmentControls controls;
    std::function<void()> cancel; // cmdBatal_Click: back to the selection phase
};

} // namespace tarvo
