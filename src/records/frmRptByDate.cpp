#include "records/frmRptByDate.h"

#include "assign/AssignmentRules.h"
#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "core/WindowRegistry.h"
#include "records/RecordReports.h"
#include "records/report/ReportPreview.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString OkCaption = QStringLiteral("OK");
const QString DisplayCaption = QStringLiteral("Display");
const QString TotalRecordsPrompt = QStringLiteral("Total Tarvo records : ");

QLabel* makeLabel(const QString& caption, const char* name, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QDateEdit* makeDatePicker(const char* name, QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return picker;
}

} // namespace

frmRptByDate::frmRptByDate(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_store(context.database())
{
    setObjectName(QStringLiteral("frmRptByDate"));
    setWindowTitle(QStringLiteral("Tarvo : Report by Date"));

    lblTotalTarvoRecords = makeLabel(TotalRecordsPrompt, "lblTotalTarvoRecords", this);
    QLabel* prompt = makeLabel(QStringLiteral("Please select your date ..."), "Label1", this);
    DTPickerStart = makeDatePicker("DTPickerStart", this);
    DTPickerEnd = makeDatePicker("DTPickerEnd", this);
    Label2 = makeLabel(QStringLiteral("Total"), "Label2", this);
    lblTotalAssignment = makeLabel(QStringLiteral("total"), "lblTotalAssignment", this);
    QFont bold = lblTotalAssignment->font();
    bold.setBold(true);
    lblTotalAssignment->setFont(bold);
    lblTotalTarvoRecords->setFont(bold);
    cmdOK = makeButton(OkCaption, "cmdOK", this);
    cmdClose = makeButton(QStringLiteral("Close"), "cmdClose", this);

    auto* dates = new QGridLayout;
    dates->setColumnMinimumWidth(0, 50);
    dates->addWidget(makeLabel(QStringLiteral("From"), "lblRegion", this), 0, 0);
    dates->addWidget(DTPickerStart, 0, 1);
    dates->addWidget(makeLabel(QStringLiteral("To"), "lblState", this), 1, 0);
    dates->addWidget(DTPickerEnd, 1, 1);
    dates->addWidget(Label2, 2, 0);
    dates->addWidget(lblTotalAssignment, 2, 1);
    dates->setColumnStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTotalTarvoRecords);
    layout->addSpacing(6);
    layout->addWidget(prompt);
    layout->addLayout(dates);
    layout->addStretch();
    layout->addLayout(buttonRow({cmdOK, cmdClose}));
    resize(360, 200);

    connect(cmdOK, &QPushButton::clicked, this, &frmRptByDate::cmdOK_Click);
    connect(cmdClose, &QPushButton::clicked, this, [this] { closeWindowOf(this); });
    connect(DTPickerStart, &QDateEdit::dateChanged, this, &frmRptByDate::DTPicker_Change);
    connect(DTPickerEnd, &QDateEdit::dateChanged, this, &frmRptByDate::DTPicker_Change);

    // Nothing is held open on the database; the counted records are copies. After a change of the
    // database the window counts again and forgets the records of the other file.
    new DatabaseHold(context.databaseService(), this,
                     {[] { return QString(); }, [] {},
                      [this] {
                          DTPicker_Change();
                          showTotal();
                      }});
    Form_Load();
}

void frmRptByDate::Form_Load()
{
    const QDate today = QDate::currentDate();
    DTPickerStart->setDate(today);
    DTPickerEnd->setDate(today);
    DTPicker_Change();
    showTotal();
}

void frmRptByDate::showTotal()
{
    const auto count = m_store.recordCount();
    lblTotalTarvoRecords->setText(TotalRecordsPrompt + (count ? groupedCount(*count) : QString()));
    if (!count)
        showDatabaseError(count.error());
}

void frmRptByDate::cmdOK_Click()
{
    if (cmdOK->text() != OkCaption)
        return setReport();
    auto rows = [this] {
        const BusyCursor busy;
        return m_store.rowsIssuedBetween(DTPickerStart->date(), DTPickerEnd->date());
    }();
    if (!rows)
        return showDatabaseError(rows.error());
    m_rows = *rows;
    lblTotalAssignment->setText(groupedCount(m_rows->rowCount()));
    lblTotalAssignment->show();
    if (m_rows->rowCount() == 0)
        cmdOK->hide();
    else
        cmdOK->setText(DisplayCaption);
}

void frmRptByDate::DTPicker_Change()
{
    // "Display" always stands for the dates shown.
    m_rows.reset();
    lblTotalAssignment->hide();
    cmdOK->show();
    cmdOK->setText(OkCaption);
}

void frmRptByDate::setReport()
{
    if (!m_rows || m_rows->rowCount() == 0) {
        m_context.messenger().inform(this, RecordNotFoundMessage, MessageTitle::NotFound,
                                     MessageIcon::Information);
        return;
    }
    ReportPreview preview(dateReport(DateIssueText(DTPickerStart->date()), DateIssueText(DTPickerEnd->date()),
                                     m_rows->rowCount()),
                          m_rows, m_context.fileDialogs(), m_context.messenger(), this);
    preview.exec();
}

void frmRptByDate::showDatabaseError(const QString& error)
{
    m_context.messenger().inform(this, error, MessageTitle::ErrorBang3, MessageIcon::Critical);
}

} // namespace tarvo
