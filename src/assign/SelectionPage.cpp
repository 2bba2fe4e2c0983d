#include "assign/SelectionPage.h"

#include "assign/AssignmentMessages.h"
#include "assign/AssignmentState.h"
#include "core/AppContext.h"
#include "core/WidgetParts.h"
#include "plan/PlanStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tarvo {

namespace {

QString shownText(const QComboBox* list)
{
    return list->currentIndex() < 0 ? QString() : list->currentText();
}

QComboBox* makeList(const char* objectName, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(objectName));
    list->setMinimumWidth(190);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return list;
}

QLabel* makeLabel(const QString& caption, const char* objectName, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QLineEdit* makePreview(const char* objectName, QWidget* parent)
{
    QLineEdit* preview = makeField(objectName, parent);
    preview->setReadOnly(true);
    preview->setFocusPolicy(Qt::NoFocus);
    QFont font = preview->font();
    font.setBold(true);
    preview->setFont(font);
    return preview;
}

const QString WorkGroupCaption = QStringLiteral("WorkGroup :");
const QString SegmentCaption = QStringLiteral("Segment :");
const QString FixedOctet3Caption = QStringLiteral("IP Octet 3 :");

} // namespace

void fillList(QComboBox* list, const QStringList& entries)
{
    list->clear();
    list->addItems(entries);
    list->setCurrentIndex(-1);
}

SelectionPage::SelectionPage(AppContext& context, PlanStore& plan, AssignmentState& state, QWidget* parent)
    : QWidget(parent), m_context(context), m_plan(plan), m_state(state)
{
    setObjectName(QStringLiteral("SelectionPage"));
    buildControls();

    connect(cboRegion, &QComboBox::activated, this, &SelectionPage::cboRegion_Click);
    connect(cboState, &QComboBox::activated, this, &SelectionPage::cboState_Click);
    connect(cboCity, &QComboBox::activated, this, &SelectionPage::cboCity_Click);
    connect(cboWorkGroup, &QComboBox::activated, this, &SelectionPage::cboWorkGroup_Click);
    connect(cboEquipment, &QComboBox::activated, this, &SelectionPage::equipmentPicked);
    // The rules run on every change of the text, also when the window itself sets it.
    connect(txtSegment, &QLineEdit::textChanged, this, &SelectionPage::txtSegment_Change);
    connect(txtBilangan, &QLineEdit::textChanged, this, &SelectionPage::txtBilangan_Change);
}

void SelectionPage::buildControls()
{
    lblRegion = makeLabel(QStringLiteral("Area :"), "lblRegion", this);
    lblState = makeLabel(QStringLiteral("State :"), "lblState", this);
    lblCity = makeLabel(QStringLiteral("City :"), "lblCity", this);
    lblWorkGroup = makeLabel(WorkGroupCaption, "lblWorkGroup", this);
    lblTotalRequired = makeLabel(QStringLiteral("Total Required :"), "lblTotalRequired", this);
    Label3 = makeLabel(QStringLiteral("Equipment/Range :"), "Label3", this);
    cboRegion = makeList("cboRegion", this);
    cboState = makeList("cboState", this);
    cboCity = makeList("cboCity", this);
    cboWorkGroup = makeList("cboWorkGroup", this);
    cboEquipment = makeList("cboEquipment", this);
    txtSegment = makeField("txtSegment", this);
    txtBilangan = makeField("txtBilangan", this);
    txtBilangan->setMaximumWidth(80);
    txtlblIPAddress = makePreview("txtlblIPAddress", this);
    txtlblNamingConvention = makePreview("txtlblNamingConvention", this);
    lblRekodKe = makeLabel(QStringLiteral("Record No. :"), "lblRekodKe", this);
    lblBilangan = makeLabel(QString(), "lblBilangan", this);
    QFont bold = lblBilangan->font();
    bold.setBold(true);
    lblBilangan->setFont(bold);
    lblRekodKe->hide();
    lblBilangan->hide();

    guardNumber(txtSegment, 255);
    // The count box holds a count of up to 256 addresses, or octet 4 in Dedicated mode.
    guardNumber(txtBilangan, m_state.dedicated() ? 255 : MaxBulkCount);

    auto* location = new QGroupBox(QStringLiteral("Location"), this);
    auto* place = new QGridLayout(location);
    auto* workgroupCell = new QHBoxLayout;
    workgroupCell->setContentsMargins(0, 0, 0, 0);
    workgroupCell->addWidget(cboWorkGroup);
    workgroupCell->addWidget(txtSegment);
    const QList<QPair<QLabel*, QWidget*>> placeRows{
        {lblRegion, cboRegion}, {lblState, cboState}, {lblCity, cboCity}};
    for (int row = 0; row < placeRows.size(); ++row) {
        place->addWidget(placeRows[row].first, row, 0);
        place->addWidget(placeRows[row].second, row, 1);
    }
    place->addWidget(lblWorkGroup, 3, 0);
    place->addLayout(workgroupCell, 3, 1);
    place->setColumnStretch(1, 1);

    auto* address = new QGroupBox(QStringLiteral("IP Address"), this);
    auto* proposal = new QGridLayout(address);
    auto* countCell = new QHBoxLayout;
    countCell->setContentsMargins(0, 0, 0, 0);
    countCell->addWidget(txtBilangan);
    countCell->addStretch();
    countCell->addWidget(lblRekodKe);
    countCell->addWidget(lblBilangan);
    proposal->addWidget(lblTotalRequired, 0, 0);
    proposal->addLayout(countCell, 0, 1);
    proposal->addWidget(Label3, 1, 0);
    proposal->addWidget(cboEquipment, 1, 1);
    proposal->addWidget(new QLabel(QStringLiteral("IP Address :"), address), 2, 0);
    proposal->addWidget(txtlblIPAddress, 2, 1);
    proposal->addWidget(new QLabel(QStringLiteral("Hostname :"), address), 3, 0);
    proposal->addWidget(txtlblNamingConvention, 3, 1);
    proposal->setColumnStretch(1, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(location, 1);
    layout->addWidget(address, 1);
}

void SelectionPage::Form_Load()
{
    if (m_state.dedicated())
        lblTotalRequired->setText(QStringLiteral("IP Octet 4 :"));
    txtBilangan->setEnabled(m_state.mode != AssignMode::Scan);
    txtSegment->hide();
    cboWorkGroup->show();
    fillAreas();
    txtlblIPAddress->setText(m_state.octets.address());
    txtlblNamingConvention->clear();
}

void SelectionPage::restart()
{
    for (QComboBox* list : {cboRegion, cboState, cboCity, cboWorkGroup, cboEquipment})
        list->clear();
    {
        const QSignalBlocker segment(txtSegment);
        const QSignalBlocker count(txtBilangan);
        txtSegment->clear();
        txtBilangan->clear();
    }
    cboState->show();
    lblState->show();
    lblWorkGroup->setText(WorkGroupCaption);
    EnableSelectionFields();
}

void SelectionPage::fillAreas()
{
    const QString LoginRegion = m_context.session().LoginRegion;
    auto areas = m_plan.areaChoices(LoginRegion);
    if (!succeeded(areas, m_context.messenger(), window()))
        return;
    fillList(cboRegion, *areas);
    // An area administrator sees only the own area, chosen already.
    if (!LoginRegion.isEmpty() && cboRegion->count() == 1) {
        cboRegion->setCurrentIndex(0);
        cboRegion_Click();
    }
}

void SelectionPage::reportVanished(const QString& what, const QString& name)
{
    m_context.messenger().inform(window(), vanishedMessage(what, name), VanishedTitle,
                                 MessageIcon::Exclamation);
}

void SelectionPage::emptyCity()
{
    m_state.city.reset();
    m_state.octets.IPOctet2 = 0;
    m_state.names.NamePart4 = QStringLiteral("___");
}

void SelectionPage::cboRegion_Click()
{
    Q_EMIT selectionChanged();
    cboCity->clear();
    emptyCity();
    FillEquipmentCombo();
    txtBilangan->clear();
    cboState->show();
    lblState->show();

    const QString area = areaText();
    if (area.isEmpty()) {
        m_state.octets.IPOctet1 = 0;
        refreshPreviews();
        return;
    }
    auto row = m_plan.area(area);
    if (!succeeded(row, m_context.messenger(), window()))
        return;
    if (!row->has_value()) {
        reportVanished(QStringLiteral("area"), area);
        // An area administrator's own area is not read from the table: it cannot come back by a refill.
        if (m_context.session().LoginRegion.isEmpty())
            fillAreas();
        else
            cboRegion->setCurrentIndex(-1);
        return;
    }
    const AreaRow& chosen = **row;
    m_state.octets.IPOctet1 = chosen.AssignIP;
    m_state.SegmentMode = chosen.Segment_ip;
    if (chosen.Segment_ip || !chosen.Abbr_segment.isEmpty())
        m_state.SegmentCode = chosen.Abbr_segment;
    refreshPreviews();

    if (!m_state.SegmentMode) {
        txtSegment->hide();
        cboWorkGroup->show();
        lblWorkGroup->setText(WorkGroupCaption);
        fillStates();
        return;
    }
    // A segmented area has no states: its cities are listed at once.
    txtSegment->clear();
    m_state.octets.IPOctet3 = 0;
    cboWorkGroup->hide();
    txtSegment->show();
    lblWorkGroup->setText(SegmentCaption);
    cboState->hide();
    lblState->hide();
    fillCities(m_state.SegmentCode);
    refreshPreviews();
}

void SelectionPage::fillStates()
{
    auto states = m_plan.statesOf(areaText());
    if (!succeeded(states, m_context.messenger(), window()))
        return;
    QStringList names;
    for (const StateRow& row : *states)
        names << row.State_name;
    fillList(cboState, names);
    if (names.size() == 1) {
        // The only state of the area is chosen at once.
        cboState->setCurrentIndex(0);
        cboState_Click();
        return;
    }
    m_state.names.NamePart2 = QStringLiteral("_");
    refreshPreviews();
}

void SelectionPage::fillCities(const QString& stateCode)
{
    auto cities = m_plan.citiesOf(stateCode, areaText());
    if (!succeeded(cities, m_context.messenger(), window()))
        return;
    QStringList names;
    for (const CityRow& row : *cities)
        names << row.City_name;
    fillList(cboCity, names);
}

void SelectionPage::cboState_Click()
{
    Q_EMIT selectionChanged();
    FillEquipmentCombo();
    txtBilangan->clear();
    const QString state = stateText();
    m_state.names.NamePart2 = QStringLiteral("_");
    if (!state.isEmpty()) {
        auto row = m_plan.state(state, areaText());
        if (!succeeded(row, m_context.messenger(), window()))
            return;
        if (!row->has_value()) {
            reportVanished(QStringLiteral("state"), state);
            fillStates();
            return;
        }
        if (!m_state.SegmentMode)
            m_state.names.NamePart2 = (*row)->Abbr_state;
        emptyCity();
        fillCities((*row)->Abbr_state);
    }
    refreshPreviews();
}

void SelectionPage::cboCity_Click()
{
    Q_EMIT selectionChanged();
    emptyCity();
    FillWorkgroupCombo();
    FillEquipmentCombo();
    txtBilangan->clear();
    if (m_state.SegmentMode) {
        lblWorkGroup->setText(SegmentCaption);
        txtSegment->setEnabled(true);
        txtSegment->clear();
        m_state.octets.IPOctet3 = 0;
    }
    const QString city = cityText();
    if (city.isEmpty()) {
        refreshPreviews();
        return;
    }
    const QString code = m_state.SegmentMode ? m_state.SegmentCode : m_state.names.NamePart2;
    auto row = m_plan.city(city, code, areaText());
    if (!succeeded(row, m_context.messenger(), window()))
        return;
    if (!row->has_value()) {
        reportVanished(QStringLiteral("city"), city);
        fillCities(code);
        refreshPreviews();
        return;
    }
    const CityRow& chosen = **row;
    m_state.names.NamePart4 = chosen.Abbr_city;
    m_state.octets.IPOctet2 = chosen.IP_octet2;
    if (!m_state.SegmentMode) {
        m_state.CityOffset = chosen.Offset.value_or(0);
        m_state.city = chosen;
        refreshPreviews();
        return;
    }
    if (chosen.Offset) {
        if (!isOctetValue(*chosen.Offset)) {
            m_context.messenger().inform(window(), octet3TooHighMessage(*chosen.Offset),
                                         MessageTitle::ErrorBang3, MessageIcon::Exclamation);
            cboCity->setCurrentIndex(-1);
            emptyCity();
            refreshPreviews();
            return;
        }
        // The city's fixed third octet stands in the segment box, which is then locked.
        lblWorkGroup->setText(FixedOctet3Caption);
        txtSegment->setText(QString::number(*chosen.Offset));
        txtSegment->setEnabled(false);
    }
    m_state.city = chosen;
    // A city with its own range offers that range as its only entry.
    FillEquipmentCombo();
    refreshPreviews();
}

void SelectionPage::cboWorkGroup_Click()
{
    Q_EMIT selectionChanged();
    FillEquipmentCombo();
    txtBilangan->clear();
    m_state.names.NamePart3 = QStringLiteral("_");
    const QString workgroup = workgroupText();
    if (!workgroup.isEmpty()) {
        auto row = m_plan.workgroup(workgroup);
        if (!succeeded(row, m_context.messenger(), window()))
            return;
        if (!row->has_value()) {
            reportVanished(QStringLiteral("work group"), workgroup);
            FillWorkgroupCombo();
            return;
        }
        const std::optional<int> octet3 = workgroupOctet3((*row)->Octet_3, m_state.CityOffset);
        if (!octet3) {
            // No such address exists: the choice is refused rather than building one.
            m_context.messenger().inform(window(), octet3TooHighMessage((*row)->Octet_3 + m_state.CityOffset),
                                         MessageTitle::ErrorBang3, MessageIcon::Exclamation);
            cboWorkGroup->setCurrentIndex(-1);
            m_state.octets.IPOctet3 = 0;
            refreshPreviews();
            return;
        }
        m_state.names.NamePart3 = (*row)->Workgroup_code;
        m_state.octets.IPOctet3 = *octet3;
    }
    if (!m_state.dedicated())
        txtBilangan->setText(QStringLiteral("1"));
    refreshPreviews();
}

void SelectionPage::txtSegment_Change()
{
    Q_EMIT selectionChanged();
    FillEquipmentCombo();
    txtBilangan->clear();
    const QString segment = txtSegment->text();
    m_state.octets.IPOctet3 = segment.toInt();
    m_state.names.NamePart2 = segment.isEmpty() ? QStringLiteral("_") : segmentNamePart(segment);
    m_state.names.NamePart3.clear();
    if (!m_state.dedicated())
        txtBilangan->setText(QStringLiteral("1"));
    refreshPreviews();
}

void SelectionPage::txtBilangan_Change()
{
    Q_EMIT selectionChanged();
    FillEquipmentCombo();
    Q_EMIT countChanged(txtBilangan->text());
}

void SelectionPage::FillEquipmentCombo()
{
    if (const std::optional<QString> rangeEntry = m_state.cityRangeEntry()) {
        fillList(cboEquipment, {*rangeEntry});
    } else if (auto types = m_plan.equipmentTypes(); succeeded(types, m_context.messenger(), window())) {
        QStringList names;
        for (const EquipmentRow& row : *types)
            names << row.Eqp_name;
        names << SubnetMask252;
        fillList(cboEquipment, names);
    }
    m_state.octets.IPOctet4 = 0;
    m_state.names.SeqCode = QStringLiteral("0");
    refreshPreviews();
}

void SelectionPage::FillWorkgroupCombo()
{
    if (auto workgroups = m_plan.workgroups(); succeeded(workgroups, m_context.messenger(), window())) {
        QStringList names;
        for (const WorkgroupRow& row : *workgroups)
            names << row.Workgroup_name;
        fillList(cboWorkGroup, names);
    }
    m_state.octets.IPOctet3 = 0;
    m_state.names.NamePart3 = QStringLiteral("_");
    refreshPreviews();
}

void SelectionPage::DisableSelectionFields()
{
    for (QWidget* field : fieldsInTabOrder())
        field->setEnabled(false);
}

void SelectionPage::EnableSelectionFields()
{
    for (QWidget* field : std::initializer_list<QWidget*>{cboRegion, cboState, cboCity, cboWorkGroup,
                                                          txtBilangan, cboEquipment})
        field->setEnabled(true);
    // A city's fixed third octet stays locked.
    txtSegment->setEnabled(!(m_state.SegmentMode && m_state.city && m_state.city->Offset));
}

void SelectionPage::refreshPreviews()
{
    txtlblIPAddress->setText(m_state.octets.address());
    txtlblNamingConvention->setText(m_state.names.NamingConvention());
}

void SelectionPage::setNamePreview(const QString& text)
{
    txtlblNamingConvention->setText(text);
}

void SelectionPage::setAddressPreview(const QString& text)
{
    txtlblIPAddress->setText(text);
}

std::optional<MissingChoice> SelectionPage::missingChoice() const
{
    if (stateText().isEmpty() && !segmentShown())
        return MissingChoice{missingChoiceMessage(false, lblState->text()), cboState};
    if (cityText().isEmpty())
        return MissingChoice{missingChoiceMessage(false, lblCity->text()), cboCity};
    if (m_state.dedicated() && countText().isEmpty())
        return MissingChoice{missingChoiceMessage(false, lblTotalRequired->text()), txtBilangan};
    if (segmentShown() && txtSegment->text().isEmpty())
        return MissingChoice{missingChoiceMessage(true, lblWorkGroup->text()), txtSegment};
    if (!cboWorkGroup->isHidden() && workgroupText().isEmpty())
        return MissingChoice{missingChoiceMessage(false, lblWorkGroup->text()), cboWorkGroup};
    // A run of no address, or of more than 256, cannot be started.
    if (m_state.mode == AssignMode::New && !bulkCount(countText()))
        return MissingChoice{missingChoiceMessage(true, lblTotalRequired->text()), txtBilangan};
    return std::nullopt;
}

void SelectionPage::showEquipment(const QString& name)
{
    int index = cboEquipment->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0) {
        cboEquipment->addItem(name);
        index = cboEquipment->count() - 1;
    }
    cboEquipment->setCurrentIndex(index);
}

QString SelectionPage::areaText() const
{
    return shownText(cboRegion);
}

QString SelectionPage::stateText() const
{
    return shownText(cboState);
}

QString SelectionPage::cityText() const
{
    return shownText(cboCity);
}

QString SelectionPage::workgroupText() const
{
    return shownText(cboWorkGroup);
}

QString SelectionPage::countText() const
{
    return txtBilangan->text();
}

QString SelectionPage::equipmentText() const
{
    return shownText(cboEquipment);
}

QList<QWidget*> SelectionPage::fieldsInTabOrder() const
{
    return {cboRegion, cboState, cboCity, cboWorkGroup, txtSegment, txtBilangan, cboEquipment};
}

bool SelectionPage::stateShown() const
{
    return !cboState->isHidden();
}

bool SelectionPage::segmentShown() const
{
    return !txtSegment->isHidden();
}

} // namespace tarvo
