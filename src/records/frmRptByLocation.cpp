#include "records/frmRptByLocation.h"

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "core/WindowRegistry.h"
#include "records/RecordReports.h"
#include "records/report/ReportPreview.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString AllEquipment = QStringLiteral("ALL");
const QString WorkGroupCaption = QStringLiteral("WorkGroup :");
const QString SegmentCaption = QStringLiteral("Segment :");
const QString FixedOctet3Caption = QStringLiteral("IP Octet 3 :");

QLabel* makeLabel(const QString& caption, const char* name, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    return label;
}

QComboBox* makeList(const char* name, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setMinimumWidth(190);
    return list;
}

// The names of the rows of a list read from the address plan.
template <class Row>
DbResult<QStringList> namesOf(const DbResult<QList<Row>>& rows, QString Row::*name)
{
    if (!rows)
        return rows.failure();
    QStringList names;
    for (const Row& row : *rows)
        names << row.*name;
    return names;
}

} // namespace

frmRptByLocation::frmRptByLocation(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_plan(context.database()), m_records(context.database())
{
    setObjectName(QStringLiteral("frmRptByLocation"));
    setWindowTitle(QStringLiteral("Tarvo : Report by Location"));

    cmdButtonClose = makeButton(QStringLiteral("Close"), "cmdButtonClose", this);
    auto* frames = new QHBoxLayout;
    frames->addWidget(buildLocationFrame(), 1);
    frames->addWidget(buildFormatFrame(), 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(makeLabel(QStringLiteral("Please select your report property ..."), "Label1", this));
    bottom->addStretch();
    bottom->addWidget(cmdButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(bottom);
    resize(760, 300);

    connect(cboRegion, &QComboBox::activated, this, &frmRptByLocation::cboRegion_Click);
    connect(cboState, &QComboBox::activated, this, &frmRptByLocation::cboState_Click);
    connect(cboCity, &QComboBox::activated, this, &frmRptByLocation::cboCity_Click);
    connect(cboWorkGroup, &QComboBox::activated, this, &frmRptByLocation::cboWorkGroup_Click);
    connect(txtSegment, &QLineEdit::textChanged, this, &frmRptByLocation::txtSegment_Change);
    connect(cboEquipment, &QComboBox::activated, this, &frmRptByLocation::setReport);
    connect(cmdButtonClose, &QPushButton::clicked, this, [this] { closeWindowOf(this); });
    txtSegment->installEventFilter(this);

    // The lists are copies: nothing is held open on the database. After a change of the database the
    // cascade starts again from the areas of the file now in use.
    new DatabaseHold(context.databaseService(), this,
                     {[] { return QString(); }, [] {}, [this] { startCascade(); }});
    Form_Load();
}

QWidget* frmRptByLocation::buildLocationFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("[ Location ]"), this);
    frame->setObjectName(QStringLiteral("FrameLocation"));
    cboRegion = makeList("cboRegion", frame);
    lblState = makeLabel(QStringLiteral("State :"), "lblState", frame);
    cboState = makeList("cboState", frame);
    cboCity = makeList("cboCity", frame);
    lblWorkGroup = makeLabel(WorkGroupCaption, "lblWorkGroup", frame);
    cboWorkGroup = makeList("cboWorkGroup", frame);
    txtSegment = makeField("txtSegment", frame);
    // A segment is a number; one above 255 is taken as typed and simply finds no record.
    guardNumber(txtSegment, 99999);
    cboEquipment = makeList("cboEquipment", frame);
    lblIPOctet = makeLabel(QStringLiteral("IP: xxx.xxx.xxx.xxx"), "lblIPOctet", frame);
    QFont bold = lblIPOctet->font();
    bold.setBold(true);
    lblIPOctet->setFont(bold);

    // The state's row keeps its place while a segment area hides it, so that the fields below never move.
    for (QWidget* part : std::initializer_list<QWidget*>{lblState, cboState}) {
        QSizePolicy keepPlace = part->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        part->setSizePolicy(keepPlace);
    }
    auto* workgroupOrSegment = new QHBoxLayout;
    workgroupOrSegment->setContentsMargins(0, 0, 0, 0);
    workgroupOrSegment->addWidget(cboWorkGroup);
    workgroupOrSegment->addWidget(txtSegment);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(makeLabel(QStringLiteral("Area :"), "lblRegion", frame), 0, 0);
    grid->addWidget(cboRegion, 0, 1);
    grid->addWidget(lblState, 1, 0);
    grid->addWidget(cboState, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("City :"), "lblCity", frame), 2, 0);
    grid->addWidget(cboCity, 2, 1);
    grid->addWidget(lblWorkGroup, 3, 0);
    grid->addLayout(workgroupOrSegment, 3, 1);
    grid->addWidget(makeLabel(QStringLiteral("Equipment :"), "lblEquipment", frame), 4, 0);
    grid->addWidget(cboEquipment, 4, 1);
    grid->addWidget(lblIPOctet, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(6, 1);
    return frame;
}

QWidget* frmRptByLocation::buildFormatFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("[ Report Format ]"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    cboLajur2 = makeList("cboLajur2", frame);
    cboLajur4 = makeList("cboLajur4", frame);
    cboLajur5 = makeList("cboLajur5", frame);
    cboLajur2->addItems(columnChoices(ColumnList2));
    cboLajur4->addItems(columnChoices(ColumnList4));
    cboLajur5->addItems(columnChoices(ColumnList5));
    txtTajukLaporan = makeField("txtTajukLaporan", frame);
    txtTajukLaporan->setText(QStringLiteral("REPORT BY LOCATION"));

    auto* grid = new QGridLayout(frame);
    const QList<QWidget*> columns{makeLabel(QStringLiteral("IP Address"), nullptr, frame), cboLajur2,
                                  makeLabel(QStringLiteral("User Name"), nullptr, frame), cboLajur4,
                                  cboLajur5};
    for (int i = 0; i < columns.size(); ++i) {
        grid->addWidget(makeLabel(QStringLiteral("Column #%1 :").arg(i + 1), nullptr, frame), i, 0);
        grid->addWidget(columns[i], i, 1);
    }
    grid->addWidget(makeLabel(QStringLiteral("Report Title :"), "Label25", frame), 5, 0);
    grid->addWidget(txtTajukLaporan, 5, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(6, 1);
    return frame;
}

void frmRptByLocation::Form_Load()
{
    cboLajur2->setCurrentIndex(0);
    cboLajur4->setCurrentIndex(0);
    cboLajur5->setCurrentIndex(0);
    startCascade();
}

void frmRptByLocation::startCascade()
{
    lblState->show();
    cboState->show();
    cboWorkGroup->show();
    {
        const QSignalBlocker blocker(txtSegment);
        txtSegment->clear();
    }
    txtSegment->hide();
    txtSegment->setEnabled(true);
    lblState->setText(QStringLiteral("State :"));
    lblWorkGroup->setText(WorkGroupCaption);
    for (QComboBox* list : {cboRegion, cboState, cboCity, cboWorkGroup, cboEquipment})
        list->clear();
    IPOctet1 = IPOctet2 = IPOctet3 = CityOffset = 0;
    SegmentMode = false;
    SegmentCode.clear();
    StateCode.clear();
    showPrefix({});

    // An area administrator reports on the own area only, which is chosen at once.
    const QString& ownArea = m_context.session().LoginRegion;
    if (fill(cboRegion, m_plan.areaChoices(ownArea)) && !ownArea.isEmpty() && cboRegion->count() > 0) {
        cboRegion->setCurrentIndex(0);
        cboRegion_Click();
    }
}

void frmRptByLocation::cboRegion_Click()
{
    cboCity->clear();
    cboWorkGroup->clear();
    clearEquipment();
    IPOctet2 = IPOctet3 = CityOffset = 0;
    StateCode.clear();
    lblState->show();
    cboState->show();

    const QString area = cboRegion->currentText();
    const auto row = m_plan.area(area);
    if (!row)
        return showDatabaseError(row.error());
    if (!row->has_value()) {
        IPOctet1 = 0;
        cboState->clear();
        return showPrefix({});
    }
    IPOctet1 = (*row)->AssignIP;
    SegmentMode = (*row)->Segment_ip;
    SegmentCode = (*row)->Abbr_segment;
    showPrefix({QString::number(IPOctet1)});

    if (SegmentMode) {
        {
            const QSignalBlocker blocker(txtSegment);
            txtSegment->clear();
        }
        cboWorkGroup->hide();
        txtSegment->show();
        lblWorkGroup->setText(SegmentCaption);
        lblState->hide();
        cboState->hide();
        cboState->clear();
        fill(cboCity, namesOf(m_plan.citiesOf(SegmentCode, area), &CityRow::City_name));
        return;
    }
    txtSegment->hide();
    cboWorkGroup->show();
    lblWorkGroup->setText(WorkGroupCaption);
    // An area without states of its own offers every state.
    auto states = m_plan.statesOf(area);
    if (states && states->isEmpty())
        states = m_plan.allStates();
    if (fill(cboState, namesOf(states, &StateRow::State_name)) && cboState->count() == 1) {
        cboState->setCurrentIndex(0);
        cboState_Click();
    }
}

void frmRptByLocation::cboState_Click()
{
    cboCity->clear();
    cboWorkGroup->clear();
    clearEquipment();
    IPOctet2 = IPOctet3 = CityOffset = 0;
    StateCode.clear();
    showPrefix({QString::number(IPOctet1)});

    const QString area = cboRegion->currentText();
    const auto row = m_plan.state(cboState->currentText(), area);
    if (!row)
        return showDatabaseError(row.error());
    if (!row->has_value())
        return;
    StateCode = (*row)->Abbr_state;
    fill(cboCity, namesOf(m_plan.citiesOf(StateCode, area), &CityRow::City_name));
}

void frmRptByLocation::cboCity_Click()
{
    FillWorkgroupCombo();
    clearEquipment();
    IPOctet2 = IPOctet3 = CityOffset = 0;
    if (SegmentMode) {
        const QSignalBlocker blocker(txtSegment);
        txtSegment->clear();
    }
    showPrefix({QString::number(IPOctet1)});

    const auto row =
        m_plan.city(cboCity->currentText(), SegmentMode ? SegmentCode : StateCode, cboRegion->currentText());
    if (!row)
        return showDatabaseError(row.error());
    if (!row->has_value())
        return;
    const CityRow& city = **row;
    IPOctet2 = city.IP_octet2;
    showPrefix({QString::number(IPOctet1), QString::number(IPOctet2)});
    if (!SegmentMode) {
        CityOffset = city.Offset.value_or(0);
        return;
    }
    txtSegment->setEnabled(true);
    lblWorkGroup->setText(SegmentCaption);
    if (city.Offset) {
        // A city with a fixed third octet: the segment box shows it and is locked.
        lblWorkGroup->setText(FixedOctet3Caption);
        txtSegment->setText(QString::number(*city.Offset));
        txtSegment->setEnabled(false);
    }
}

void frmRptByLocation::cboWorkGroup_Click()
{
    const auto row = m_plan.workgroup(cboWorkGroup->currentText());
    if (!row)
        return showDatabaseError(row.error());
    if (row->has_value()) {
        // Octet 3 is the work group's digit on top of the city's offset, or 0 for a city without one.
        IPOctet3 = CityOffset != 0 ? (*row)->Octet_3 + CityOffset : 0;
    }
    FillEquipmentCombo();
    showPrefix({QString::number(IPOctet1), QString::number(IPOctet2), QString::number(IPOctet3)});
}

void frmRptByLocation::txtSegment_Change()
{
    const QString segment = txtSegment->text();
    if (segment.isEmpty()) {
        // No segment, no place: the rows of an earlier segment must not print under an empty one.
        clearEquipment();
        IPOctet3 = 0;
        return showPrefix({QString::number(IPOctet1), QString::number(IPOctet2)});
    }
    IPOctet3 = segment.toInt();
    FillEquipmentCombo();
    showPrefix({QString::number(IPOctet1), QString::number(IPOctet2), segment});
}

bool frmRptByLocation::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtSegment && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && txtSegment->text().isEmpty()) {
            QApplication::beep();
            m_context.messenger().inform(this, QStringLiteral("Please enter Segment ... "),
                                         QStringLiteral("Segment ?"), MessageIcon::Exclamation);
            txtSegment->setFocus();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmRptByLocation::FillWorkgroupCombo()
{
    fill(cboWorkGroup, namesOf(m_plan.workgroups(), &WorkgroupRow::Workgroup_name));
}

void frmRptByLocation::FillEquipmentCombo()
{
    auto names = namesOf(m_plan.equipmentTypes(), &EquipmentRow::Eqp_name);
    if (names)
        names->prepend(AllEquipment);
    fill(cboEquipment, names);
}

void frmRptByLocation::clearEquipment()
{
    cboEquipment->clear();
}

void frmRptByLocation::showPrefix(const QStringList& octets)
{
    QStringList shown = octets;
    while (shown.size() < 4)
        shown << QStringLiteral("xxx");
    lblIPOctet->setText(QStringLiteral("IP: ") + shown.join(QLatin1Char('.')));
}

QString frmRptByLocation::shownIfPresent(const QWidget* control, const QString& text) const
{
    return control->isHidden() ? QString() : text;
}

void frmRptByLocation::setReport()
{
    const QString prefix = QStringLiteral("%1.%2.%3.").arg(IPOctet1).arg(IPOctet2).arg(IPOctet3);
    // The first entry stands for every equipment type; the others name one.
    const std::optional<QString> type =
        cboEquipment->currentIndex() > 0 ? std::optional<QString>(cboEquipment->currentText()) : std::nullopt;
    const auto rows = [&] {
        const BusyCursor busy;
        return m_records.placeRows(prefix, type);
    }();
    if (!rows)
        return showDatabaseError(rows.error());
    if ((*rows)->rowCount() == 0) {
        m_context.messenger().inform(this, RecordNotFoundMessage, MessageTitle::NotFound,
                                     MessageIcon::Information);
        return;
    }
    const LocationReportChoices choices{txtTajukLaporan->text(),
                                        cboRegion->currentText(),
                                        shownIfPresent(cboState, cboState->currentText()),
                                        cboCity->currentText(),
                                        shownIfPresent(cboWorkGroup, cboWorkGroup->currentText()),
                                        shownIfPresent(txtSegment, txtSegment->text()),
                                        cboEquipment->currentText(),
                                        (*rows)->rowCount(),
                                        cboLajur2->currentText(),
                                        cboLajur4->currentText(),
                                        cboLajur5->currentText()};
    ReportPreview preview(locationReport(choices), *rows, m_context.fileDialogs(), m_context.messenger(),
                          this);
    preview.exec();
}

bool frmRptByLocation::fill(QComboBox* list, const DbResult<QStringList>& items)
{
    list->clear();
    if (!items) {
        showDatabaseError(items.error());
        return false;
    }
    list->addItems(*items);
    // Nothing is chosen until the user picks an entry.
    list->setCurrentIndex(-1);
    return true;
}

void frmRptByLocation::showDatabaseError(const QString& error)
{
    m_context.messenger().inform(this, error, MessageTitle::ErrorBang3, MessageIcon::Critical);
}

} // namespace tarvo
