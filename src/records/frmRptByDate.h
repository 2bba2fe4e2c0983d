#pragma once

#include "records/RecordReportStore.h"

#include <QWidget>

#include <memory>

class QDateEdit;
class QLabel;
class QPushButton;

namespace tarvo {

class AppContext;

// "Tarvo : Report by Date": the records whose date of issue lies between two dates. One button does
// both steps: "OK" counts the records of the dates shown, after which it reads "Display" and shows the
// report of those records; a change of either date turns it back to "OK". A range without records
// hides the button until a date changes.
class frmRptByDate final : public QWidget
{
    Q_OBJECT
public:
    explicit frmRptByDate(AppContext& context, QWidget* parent = nullptr);

    // Shows the report of the records the last "OK" counted.
    void setReport();

private:
    void Form_Load();
    void showTotal();
    void cmdOK_Click();
    void DTPicker_Change();
    void showDatabaseError(const QString& error);

    AppContext& m_context;
    RecordReportStore m_store;
    // The records of the last "OK", the report's rows.
    std::shared_ptr<TableRows> m_rows;

    QLabel* lblTotalTarvoRecords;
    QDateEdit* DTPickerStart;
    QDateEdit* DTPickerEnd;
    QLabel* Label2;
    QLabel* lblTotalAssignment;
    QPushButton* cmdOK;
    QPushButton* cmdClose;
};

} // namespace tarvo
