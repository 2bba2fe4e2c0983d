#include "plan/frmUnitDivision.h"
#include "core/ProductArt.h"
#include <QToolButton>

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "plan/PlanFields.h"
#include "plan/SettingsPage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarvo {

namespace {

// A drop-down list with these items and none chosen.
void setItems(QComboBox* box, const QStringList& items)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
}

// A drop-down list with one item, chosen unless it is empty (a preset place).
void setOnly(QComboBox* box, const QString& item)
{
    setItems(box, {item});
    if (!item.isEmpty())
        box->setCurrentIndex(0);
}

template <class Row, class Name>
QStringList names(const QList<Row>& rows, Name name)
{
    QStringList list;
    for (const Row& row : rows)
        list << name(row);
    return list;
}

QComboBox* placeBox(const char* name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFixedWidth(320);
    return box;
}

QLabel* namedLabel(const char* name, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// Two fields in one row of a form, the first narrower.
QHBoxLayout* pair(QLineEdit* first, QLineEdit* second)
{
    auto* row = new QHBoxLayout;
    row->addWidget(first, 1);
    row->addWidget(second, 2);
    return row;
}

} // namespace

frmUnitDivision::frmUnitDivision(AppContext& context, std::function<void()> whenClosed, QWidget* parent)
    : QDialog(parent), m_context(context), m_store(context.database()), m_units(context.database()),
      m_whenClosed(std::move(whenClosed)), m_handOver(context.unitDivisionHandOver())
{
    setObjectName(QStringLiteral("frmUnitDivision"));
    setWindowTitle(QStringLiteral("Unit / Division Setting"));

    // The place.
    cboRegion = placeBox("cboRegion", this);
    cboState = placeBox("cboState", this);
    cboCity = placeBox("cboCity", this);
    lblState = namedLabel("lblState", QStringLiteral("State :"), this);
    auto* places = new QFormLayout;
    places->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    places->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    places->addRow(namedLabel("lblRegion", QStringLiteral("Area :"), this), cboRegion);
    places->addRow(lblState, cboState);
    places->addRow(namedLabel("lblCity", QStringLiteral("City :"), this), cboCity);
    // The city row keeps its place while the state row is hidden.
    for (QWidget* part : std::initializer_list<QWidget*>{lblState, cboState}) {
        QSizePolicy keepPlace = part->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        part->setSizePolicy(keepPlace);
    }

    // The units of the place.
    auto* frame = new QGroupBox(QStringLiteral("Unit / Division "), this);
    frame->setObjectName(QStringLiteral("FrameUnitDivision"));
    lstUnitDivision = new QListWidget(frame);
    lstUnitDivision->setObjectName(QStringLiteral("lstUnitDivision"));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(lstUnitDivision);
    frame->setMinimumWidth(220);

    // The unit's name and postal address.
    auto field = [this](const char* name) {
        m_fields.append(navigableField(name, this));
        return m_fields.last();
    };
    txtUnitDivision = field("txtUnitDivision");
    txtTingkat = field("txtTingkat");
    txtBangunan = field("txtBangunan");
    txtJalan = field("txtJalan");
    txtPoskod = field("txtPoskod");
    txtBandar = field("txtBandar");
    txtNegeri = field("txtNegeri");
    txtTingkat->setPlaceholderText(QStringLiteral("Floor"));
    txtBangunan->setPlaceholderText(QStringLiteral("Building"));
    txtPoskod->setPlaceholderText(QStringLiteral("Postcode"));
    txtBandar->setPlaceholderText(QStringLiteral("City"));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(namedLabel("lblUnitDivision", QStringLiteral("Unit/Division :"), this), txtUnitDivision);
    form->addRow(namedLabel("Label6", QStringLiteral("Floor/Building :"), this),
                 pair(txtTingkat, txtBangunan));
    form->addRow(namedLabel("Label8", QStringLiteral("Street :"), this), txtJalan);
    form->addRow(namedLabel("Label1", QStringLiteral("Postcode/City :"), this), pair(txtPoskod, txtBandar));
    form->addRow(namedLabel("Label2", QStringLiteral("State :"), this), txtNegeri);
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();

    // The browse frame and the edit frame, one shown at a time.
    auto buttonFrame = [this](const char* name, std::initializer_list<QPushButton*> buttons) {
        auto* box = new QFrame(this);
        box->setObjectName(QString::fromLatin1(name));
        QHBoxLayout* row = buttonRow(buttons);
        row->setContentsMargins(0, 0, 0, 0);
        box->setLayout(row);
        for (QPushButton* button : buttons)
            button->setMinimumWidth(88);
        return box;
    };
    cmdTambah = makeButton(QStringLiteral("Add"), "cmdTambah", this);
    cmdKemaskini = makeButton(QStringLiteral("Update"), "cmdKemaskini", this);
    cmdHapus = makeButton(QStringLiteral("Delete"), "cmdHapus", this);
    auto* cmdTutup = makeButton(QStringLiteral("Close"), "cmdTutup", this);
    frameOperasi = buttonFrame("frameOperasi", {cmdTambah, cmdKemaskini, cmdHapus, cmdTutup});
    auto* cmdSimpan = makeButton(QStringLiteral("Save"), "cmdSimpan", this);
    auto* cmdBatal = makeButton(QStringLiteral("Cancel"), "cmdBatal", this);
    auto* cmdTutup1 = makeButton(QStringLiteral("Close"), "cmdTutup1", this);
    frameSimpan = buttonFrame("frameSimpan", {cmdSimpan, cmdBatal, cmdTutup1});

    auto* body = new QHBoxLayout;
    body->addWidget(frame, 2);
    body->addSpacing(8);
    body->addLayout(right, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(places);
    layout->addSpacing(4);
    layout->addLayout(body, 1);
    layout->addWidget(frameOperasi);
    layout->addWidget(frameSimpan);
    resize(660, 400);

    for (int i = 0; i + 1 < m_fields.size(); ++i)
        setTabOrder(m_fields[i], m_fields[i + 1]);
    setTabOrder(m_fields.last(), cmdSimpan);
    setTabOrder(cmdSimpan, cmdBatal);

    connect(cboRegion, &QComboBox::activated, this, &frmUnitDivision::cboRegion_Click);
    connect(cboState, &QComboBox::activated, this, &frmUnitDivision::cboState_Click);
    connect(cboCity, &QComboBox::activated, this, &frmUnitDivision::cboCity_Click);
    // A pick by mouse or keyboard shows the unit.
    connect(lstUnitDivision, &QListWidget::itemSelectionChanged, this, [this] {
        if (!lstUnitDivision->selectedItems().isEmpty())
            lstUnitDivision_Click();
    });
    connect(cmdTambah, &QPushButton::clicked, this, &frmUnitDivision::cmdTambah_Click);
    connect(cmdKemaskini, &QPushButton::clicked, this, &frmUnitDivision::cmdKemaskini_Click);
    connect(cmdHapus, &QPushButton::clicked, this, &frmUnitDivision::cmdHapus_Click);
    connect(cmdSimpan, &QPushButton::clicked, this, &frmUnitDivision::cmdSimpan_Click);
    connect(cmdBatal, &QPushButton::clicked, this, &frmUnitDivision::cmdBatal_Click);
    // Close drops an edit in progress without a question.
    for (QPushButton* close : {cmdTutup, cmdTutup1})
        connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(this, &QDialog::finished, this, &frmUnitDivision::Form_Unload);

    // Nothing is held open on the database; after a restore the window reads its place again. An edit
    // in progress is the window's unsaved edit.
    new DatabaseHold(context.databaseService(), this,
                     {.reload = [this] { Form_Load(); },
                      .unsavedEdit = [this] { return isEditing(); },
                      .discardEdit = [this] { cmdBatal_Click(); }});
    Form_Load();
}

frmUnitDivision::~frmUnitDivision() = default;

void frmUnitDivision::reopen()
{
    m_handOver = m_context.unitDivisionHandOver();
    Form_Load();
}

void frmUnitDivision::Form_Load()
{
    const UnitDivisionHandOver& handOver = m_handOver;
    showEditFrame(false);
    DisableUnitDivisionFields();
    ClearUnitDivisionFields();
    m_remembered.clear();
    AddMode = false;
    SegmentMode = false;
    lstUnitDivision->clear();
    forgetShownUnit();
    cmdTambah->setEnabled(false);
    showStateBox(true);
    for (QComboBox* box : {cboRegion, cboState, cboCity})
        box->clear();

    if (!isPreset()) {
        setPlaceBoxesEnabled(true);
        const QString loginRegion = m_context.session().LoginRegion;
        if (!loginRegion.isEmpty()) {
            setOnly(cboRegion, loginRegion);
            cboRegion_Click();
            return;
        }
        auto areas = m_store.areas();
        if (!areas)
            return showDatabaseError(areas.error());
        setItems(cboRegion, names(*areas, [](const AreaRow& row) { return row.Region; }));
        return;
    }

    // Preset: the place handed over, locked. A segmented area has no state, whatever was handed over.
    setPlaceBoxesEnabled(false);
    if (!handOver.OwnerRegion.isEmpty() && !readArea(handOver.OwnerRegion))
        return;
    setOnly(cboRegion, handOver.OwnerRegion);
    showStateBox(handOver.OwnerHasState && !SegmentMode);
    if (stateShown())
        setOnly(cboState, handOver.OwnerState);
    setOnly(cboCity, handOver.OwnerCity);
    fillUnitList();
    // As the choice of the area or the city would.
    cmdTambah->setEnabled(!handOver.OwnerRegion.isEmpty() || !handOver.OwnerCity.isEmpty());
}

void frmUnitDivision::Form_Unload()
{
    if (m_whenClosed)
        m_whenClosed();
}

bool frmUnitDivision::readArea(const QString& area)
{
    auto row = m_store.area(area);
    if (!row) {
        showDatabaseError(row.error());
        return false;
    }
    // An area missing from the table counts as one with states; it then offers every state.
    SegmentMode = *row && (*row)->Segment_ip;
    m_segmentCode = *row ? (*row)->Abbr_segment : QString();
    return true;
}

void frmUnitDivision::showStateBox(bool shown)
{
    lblState->setHidden(!shown);
    cboState->setHidden(!shown);
}

bool frmUnitDivision::stateShown() const
{
    return !cboState->isHidden();
}

UnitOwner frmUnitDivision::place() const
{
    UnitOwner owner{cboRegion->currentText(), std::nullopt, cboCity->currentText()};
    if (stateShown())
        owner.state = cboState->currentText();
    return owner;
}

void frmUnitDivision::placeChanged()
{
    lstUnitDivision->clear();
    forgetShownUnit();
    ClearUnitDivisionFields();
}

void frmUnitDivision::cboRegion_Click()
{
    showStateBox(true);
    cboState->setEnabled(true);
    // A unit may be added once an area is chosen, with or without a city.
    cmdTambah->setEnabled(true);
    setItems(cboState, {});
    setItems(cboCity, {});
    placeChanged();
    const QString area = cboRegion->currentText();
    if (!area.isEmpty() && !readArea(area))
        return;

    if (SegmentMode) {
        showStateBox(false);
        auto cities = m_store.citiesOf(m_segmentCode, area);
        if (!cities)
            return showDatabaseError(cities.error());
        setItems(cboCity, names(*cities, [](const CityRow& row) { return row.City_name; }));
        return;
    }

    // An area without states of its own offers every state.
    auto states = area.isEmpty() ? m_store.allStates() : m_store.statesOf(area);
    if (states && states->isEmpty() && !area.isEmpty())
        states = m_store.allStates();
    if (!states)
        return showDatabaseError(states.error());
    setItems(cboState, names(*states, [](const StateRow& row) { return row.State_name; }));
    if (cboState->count() == 1) {
        cboState->setCurrentIndex(0);
        cboState_Click();
    }
}

void frmUnitDivision::cboState_Click()
{
    setItems(cboCity, {});
    placeChanged();
    const QString stateName = cboState->currentText();
    if (stateName.isEmpty() || SegmentMode)
        return;
    // A state of another area (offered because the chosen area has none) has no cities here.
    auto state = m_store.state(stateName, cboRegion->currentText());
    if (!state)
        return showDatabaseError(state.error());
    if (!*state)
        return;
    auto cities = m_store.citiesOf((*state)->Abbr_state, cboRegion->currentText());
    if (!cities)
        return showDatabaseError(cities.error());
    setItems(cboCity, names(*cities, [](const CityRow& row) { return row.City_name; }));
}

void frmUnitDivision::cboCity_Click()
{
    placeChanged();
    if (!cboCity->currentText().isEmpty())
        fillUnitList();
    lstUnitDivision->setEnabled(true);
    cmdTambah->setEnabled(true);
}

void frmUnitDivision::fillUnitList()
{
    {
        const QSignalBlocker blocker(lstUnitDivision);
        lstUnitDivision->clear();
    }
    forgetShownUnit();
    auto units = m_store.unitsOf(place());
    if (!units)
        return showDatabaseError(units.error());
    for (const UnitDivisionRow& unit : std::as_const(*units)) {
        auto* item = new QListWidgetItem(unit.UnitDivision, lstUnitDivision);
        item->setData(Qt::UserRole, unit.rowId);
    }
}

void frmUnitDivision::forgetShownUnit()
{
    m_shown.reset();
    cmdKemaskini->setEnabled(false);
    cmdHapus->setEnabled(false);
    const QSignalBlocker blocker(lstUnitDivision);
    lstUnitDivision->clearSelection();
}

void frmUnitDivision::lstUnitDivision_Click()
{
    const QList<QListWidgetItem*> picked = lstUnitDivision->selectedItems();
    if (picked.isEmpty())
        return;
    ClearUnitDivisionFields();
    auto unit = m_store.unitByRowId(picked.first()->data(Qt::UserRole).toLongLong());
    if (!unit) {
        forgetShownUnit();
        return showDatabaseError(unit.error());
    }
    if (!*unit)
        return unitGone();
    m_shown = **unit;
    const QStringList values{m_shown->UnitDivision, m_shown->Floor, m_shown->Building, m_shown->Roadname,
                             m_shown->Postcode,     m_shown->City,  m_shown->State};
    for (int i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(values[i]);
    cmdKemaskini->setEnabled(true);
    cmdHapus->setEnabled(true);
    DisableUnitDivisionFields();
    RememberUnitDivisionFields();
}

void frmUnitDivision::cmdTambah_Click()
{
    setPlaceBoxesEnabled(false);
    // What was shown comes back on "Cancel".
    RememberUnitDivisionFields();
    EnableUnitDivisionFields();
    ClearUnitDivisionFields();
    txtBandar->setText(cboCity->currentText());
    if (stateShown())
        txtNegeri->setText(cboState->currentText());
    txtUnitDivision->setFocus();
    lstUnitDivision->setEnabled(false);
    showEditFrame(true);
    AddMode = true;
}

void frmUnitDivision::cmdKemaskini_Click()
{
    if (!m_shown)
        return;
    lstUnitDivision->setEnabled(false);
    setPlaceBoxesEnabled(false);
    showEditFrame(true);
    EnableUnitDivisionFields();
    txtUnitDivision->setFocus();
    RememberUnitDivisionFields();
}

void frmUnitDivision::cmdSimpan_Click()
{
    if (txtUnitDivision->text().isEmpty()) {
        m_context.messenger().inform(this, QStringLiteral("Please enter Unit / Division !"),
                                     MessageTitle::ErrorBang, MessageIcon::Exclamation);
        txtUnitDivision->setFocus();
        return;
    }
    if (!m_context.messenger().confirm(this, PlanText::SaveQuestion, QStringLiteral("Save record"),
                                       MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok))
        return;
    UnitDivisionRow unit;
    unit.UnitDivision = txtUnitDivision->text();
    unit.Floor = txtTingkat->text();
    unit.Building = txtBangunan->text();
    unit.Roadname = txtJalan->text();
    unit.Postcode = txtPoskod->text();
    unit.City = txtBandar->text();
    unit.State = txtNegeri->text();
    DbResult<bool> saved = false;
    {
        BusyCursor busy;
        if (AddMode) {
            auto added = m_units.add(unit, place());
            saved = added ? DbResult<bool>(true) : DbResult<bool>(added.failure());
        } else if (m_shown) {
            saved = m_units.update(*m_shown, place(), unit);
        }
    }
    // A failed write keeps the edit, so that nothing typed is lost.
    if (!saved)
        return showDatabaseError(saved.error());
    if (!*saved) {
        m_context.messenger().inform(this, PlanText::RowGone, MessageTitle::ErrorBang3,
                                     MessageIcon::Exclamation);
        return;
    }
    fillUnitList();
    endEdit();
    ClearUnitDivisionFields();
}

void frmUnitDivision::cmdBatal_Click()
{
    RestoreUnitDivisionFields();
    endEdit();
}

void frmUnitDivision::endEdit()
{
    if (!isPreset())
        setPlaceBoxesEnabled(true);
    DisableUnitDivisionFields();
    showEditFrame(false);
    lstUnitDivision->setEnabled(true);
    forgetShownUnit();
    AddMode = false;
}

void frmUnitDivision::cmdHapus_Click()
{
    if (!m_shown)
        return;
    if (!m_context.messenger().confirm(this, PlanText::DeleteQuestion, QStringLiteral("Delete Record"),
                                       MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok))
        return;
    DbResult<bool> removed = false;
    {
        BusyCursor busy;
        removed = m_units.remove(*m_shown, place());
    }
    if (!removed)
        return showDatabaseError(removed.error());
    if (!*removed)
        return unitGone();
    fillUnitList();
    ClearUnitDivisionFields();
    DisableUnitDivisionFields();
    if (!isPreset())
        setPlaceBoxesEnabled(true);
}

void frmUnitDivision::unitGone()
{
    m_context.messenger().inform(this, PlanText::RowGone, MessageTitle::ErrorBang3, MessageIcon::Exclamation);
    ClearUnitDivisionFields();
    fillUnitList();
}

void frmUnitDivision::setPlaceBoxesEnabled(bool enabled)
{
    for (QComboBox* box : {cboRegion, cboState, cboCity})
        box->setEnabled(enabled);
}

void frmUnitDivision::showEditFrame(bool editing)
{
    frameOperasi->setVisible(!editing);
    frameSimpan->setVisible(editing);
}

bool frmUnitDivision::isEditing() const
{
    return !frameSimpan->isHidden();
}

void frmUnitDivision::showDatabaseError(const QString& error)
{
    m_context.messenger().inform(this, error, MessageTitle::ErrorBang3, MessageIcon::Critical);
}

void frmUnitDivision::ClearUnitDivisionFields()
{
    for (QLineEdit* box : std::as_const(m_fields))
        box->clear();
}

void frmUnitDivision::EnableUnitDivisionFields()
{
    for (QLineEdit* box : std::as_const(m_fields))
        box->setEnabled(true);
}

void frmUnitDivision::DisableUnitDivisionFields()
{
    for (QLineEdit* box : std::as_const(m_fields))
        box->setEnabled(false);
}

void frmUnitDivision::RememberUnitDivisionFields()
{
    m_remembered.clear();
    for (const QLineEdit* box : std::as_const(m_fields))
        m_remembered << box->text();
}

void frmUnitDivision::RestoreUnitDivisionFields()
{
    for (int i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(m_remembered.value(i));
}

QToolButton* makeUnitPicture(QWidget* parent)
{
    auto* picture = new QToolButton(parent);
    picture->setObjectName(QStringLiteral("PicUnitDivision"));
    picture->setIcon(toolbarIcon(QStringLiteral("mUnitDivSettings")));
    picture->setToolTip(QStringLiteral("Double-Click to Set Unit/Division ..."));
    picture->setAutoRaise(true);
    picture->setFocusPolicy(Qt::NoFocus);
    picture->hide();
    return picture;
}

} // namespace tarvo
