#include "records/frmCarian.h"

#include "assign/AssignmentRules.h"
#include "core/AppContext.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "core/WindowRegistry.h"
#include "records/RecordWindows.h"
#include "records/SearchResultModel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace tarvo {

namespace {

QRadioButton* makeOption(const QString& caption, const char* name, QWidget* parent)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QString::fromLatin1(name));
    return option;
}

QComboBox* makeList(const char* name, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setMinimumContentsLength(18);
    return list;
}

// Fills a list from which nothing is chosen yet.
void fillList(QComboBox* list, const QStringList& entries)
{
    list->clear();
    list->addItems(entries);
    list->setCurrentIndex(-1);
}

// The grid's column widths, in characters "X" of the window's font: the least width of each column.
constexpr int ColumnCharacters[] = {11, 10, 10, 10, 7, 12, 2};
static_assert(std::size(ColumnCharacters) == SearchResultModel::ColumnCount);

} // namespace

frmCarian::frmCarian(AppContext& context, RecordWindows& windows, QWidget* parent)
    : QWidget(parent), m_context(context), m_windows(windows), m_store(context.database()),
      m_location(context.database()),
      m_model(new SearchResultModel(context.database(), context.databaseService(), this))
{
    static_assert(BlankColumnIndex == SearchResultModel::BlankColumn);
    buildControls();
    Form_Load();
}

frmCarian::~frmCarian()
{
    // The grid goes with the widget's base part, after this window's members: its header must not
    // report the resizes of its going to a window that is no longer whole.
    disconnect(gridCarian->horizontalHeader(), nullptr, this, nullptr);
}

void frmCarian::buildControls()
{
    setObjectName(QStringLiteral("frmCarian"));
    setWindowTitle(QStringLiteral("Record Search"));

    gridCarian = new QTableView(this);
    gridCarian->setObjectName(QStringLiteral("gridCarian"));
    gridCarian->setModel(m_model);
    gridCarian->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridCarian->setSelectionMode(QAbstractItemView::ContiguousSelection);
    gridCarian->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridCarian->verticalHeader()->hide();
    gridCarian->verticalHeader()->setDefaultSectionSize(gridCarian->fontMetrics().height() + 6);
    gridCarian->horizontalHeader()->setStretchLastSection(true);
    gridCarian->setAlternatingRowColors(true);
    gridCarian->installEventFilter(this);
    gridCarian->viewport()->installEventFilter(this);
    // The columns widen to the texts of the rows as they are listed, within the grid's width; a column
    // the user sized keeps its width until the next search.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_contentWidths.fill(0);
        m_userSized.fill(false);
        applyColumnWidths();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { fitColumns(first, last); });
    connect(gridCarian->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (!m_applyingWidths && column < BlankColumnIndex)
            m_userSized[column] = true;
    });
    connect(m_model, &SearchResultModel::settled, this, &frmCarian::searchSettled);
    connect(m_model, &SearchResultModel::counted, this, [this](const DbOutcome& counted) {
        if (!counted)
            return showError(counted.error());
        showCount();
    });
    connect(m_model, &SearchResultModel::readFailed, this, &frmCarian::showError);
    SetupResultGrid();

    lblNotaCarian = new QLabel(QStringLiteral("Double Click on item to get details ..."), this);
    lblNotaCarian->setObjectName(QStringLiteral("lblNotaCarian"));
    lblNotaCarian->setWordWrap(true);
    lblNotaCarian->setMinimumHeight(fontMetrics().lineSpacing() * 2 + 4);
    cmdTutup = makeButton(QStringLiteral("Close"), "cmdTutup", this);

    auto* criteriaPanel = new QWidget(this);
    auto* criteria = new QVBoxLayout(criteriaPanel);
    criteria->setContentsMargins(0, 0, 0, 0);
    criteria->addWidget(buildTextFrame());
    criteria->addWidget(FrameFor);
    criteria->addWidget(buildLocationFrame());
    criteria->addWidget(FrameForLocation);
    criteria->addStretch();
    // The grid keeps its place whichever kind of search is shown: the panel is as high as the location
    // search needs.
    frameIPAddress->hide();
    FrameFor->hide();
    criteriaPanel->setMinimumHeight(criteriaPanel->sizeHint().height());
    auto* top = new QHBoxLayout;
    top->addWidget(buildKindFrame(), 0, Qt::AlignTop);
    top->addWidget(criteriaPanel, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblNotaCarian, 1);
    bottom->addWidget(cmdTutup, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(gridCarian, 1);
    layout->addLayout(bottom);
    int gridWidth = 0;
    for (const int characters : ColumnCharacters)
        gridWidth += fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('X')));
    resize(gridWidth + 60, 520);

    connect(gridCarian, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { gridCarian_DblClick(index.row()); });
    connect(cmdTutup, &QPushButton::clicked, this, [this] { closeWindowOf(this); });
}

QGroupBox* frmCarian::buildKindFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Search Type :"), this);
    frame->setObjectName(QStringLiteral("FrameType"));
    Option1 = makeOption(QStringLiteral("IP Address"), "Option1", frame);
    Option2 = makeOption(QStringLiteral("Staff No."), "Option2", frame);
    Option3 = makeOption(QStringLiteral("Location"), "Option3", frame);
    Option4 = makeOption(QStringLiteral("Hostname"), "Option4", frame);
    Option5 = makeOption(QStringLiteral("Remarks"), "Option5", frame);
    Option6 = makeOption(QStringLiteral("Username"), "Option6", frame);
    auto* grid = new QGridLayout(frame);
    QRadioButton* const options[] = {Option1, Option2, Option3, Option4, Option5, Option6};
    for (int i = 0; i < 6; ++i)
        grid->addWidget(options[i], i % 3, i / 3);

    const std::pair<QRadioButton*, TextKind> textKinds[] = {{Option1, TextKind::IpAddress},
                                                            {Option2, TextKind::StaffNo},
                                                            {Option4, TextKind::Hostname},
                                                            {Option5, TextKind::Remarks},
                                                            {Option6, TextKind::Username}};
    for (const auto& [option, kind] : textKinds) {
        connect(option, &QRadioButton::toggled, this, [this, kind = kind](bool on) {
            if (on)
                chooseTextKind(kind);
        });
    }
    connect(Option3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option3_Click();
    });
    return frame;
}

QGroupBox* frmCarian::buildTextFrame()
{
    frameIPAddress = new QGroupBox(this);
    frameIPAddress->setObjectName(QStringLiteral("frameIPAddress"));
    lblCarian = new QLabel(frameIPAddress);
    lblCarian->setObjectName(QStringLiteral("lblCarian"));
    txtCarian = makeField("txtCarian", frameIPAddress);
    cmdCari = makeButton(QStringLiteral("Search"), "cmdCari", frameIPAddress);
    lblNota = new QLabel(frameIPAddress);
    lblNota->setObjectName(QStringLiteral("lblNota"));
    auto* grid = new QGridLayout(frameIPAddress);
    grid->addWidget(lblCarian, 0, 0);
    grid->addWidget(txtCarian, 0, 1);
    grid->addWidget(cmdCari, 0, 2);
    grid->addWidget(lblNota, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    FrameFor = new QGroupBox(this);
    FrameFor->setObjectName(QStringLiteral("FrameFor"));
    OptCarian1 = makeOption(QStringLiteral("Exact Search"), "OptCarian1", FrameFor);
    OptCarian2 = makeOption(QStringLiteral("Begin with"), "OptCarian2", FrameFor);
    OptCarian5 = makeOption(QStringLiteral("Temporary IP"), "OptCarian5", FrameFor);
    m_matchOptions = new QButtonGroup(FrameFor);
    auto* row = new QHBoxLayout(FrameFor);
    for (QRadioButton* option : {OptCarian1, OptCarian2, OptCarian5}) {
        m_matchOptions->addButton(option);
        row->addWidget(option);
        connect(option, &QRadioButton::toggled, this, [this, option](bool on) {
            if (on)
                OptCarian_Click(option == OptCarian5);
        });
    }
    row->addStretch();

    // Enter in the search text searches; Down and Up move as Tab and Shift+Tab (eventFilter).
    txtCarian->installEventFilter(this);
    connect(cmdCari, &QPushButton::clicked, this, &frmCarian::cmdCari_Click);
    return frameIPAddress;
}

QGroupBox* frmCarian::buildLocationFrame()
{
    FrameLocation = new QGroupBox(QStringLiteral("Search by Location :"), this);
    FrameLocation->setObjectName(QStringLiteral("FrameLocation"));
    cboRegion = makeList("cboRegion", FrameLocation);
    cboState = makeList("cboState", FrameLocation);
    cboCity = makeList("cboCity", FrameLocation);
    cboWorkGroup = makeList("cboWorkGroup", FrameLocation);
    txtSegment = makeField("txtSegment", FrameLocation);
    auto* lblRegion = new QLabel(QStringLiteral("Area :"), FrameLocation);
    lblRegion->setObjectName(QStringLiteral("lblRegion"));
    lblState = new QLabel(QStringLiteral("State :"), FrameLocation);
    lblState->setObjectName(QStringLiteral("lblState"));
    auto* lblCity = new QLabel(QStringLiteral("City :"), FrameLocation);
    lblCity->setObjectName(QStringLiteral("lblCity"));
    lblWorkGroup = new QLabel(QStringLiteral("WorkGroup :"), FrameLocation);
    lblWorkGroup->setObjectName(QStringLiteral("lblWorkGroup"));
    auto* grid = new QGridLayout(FrameLocation);
    grid->addWidget(lblRegion, 0, 0);
    grid->addWidget(cboRegion, 0, 1);
    grid->addWidget(lblState, 1, 0);
    grid->addWidget(cboState, 1, 1);
    grid->addWidget(lblCity, 2, 0);
    grid->addWidget(cboCity, 2, 1);
    grid->addWidget(lblWorkGroup, 3, 0);
    grid->addWidget(cboWorkGroup, 3, 1);
    grid->addWidget(txtSegment, 3, 1);
    grid->setColumnStretch(1, 1);

    FrameForLocation = new QGroupBox(this);
    FrameForLocation->setObjectName(QStringLiteral("FrameForLocation"));
    OptCarian3 = makeOption(QStringLiteral("WorkGroup/Segment"), "OptCarian3", FrameForLocation);
    OptCarian4 = makeOption(QStringLiteral("City"), "OptCarian4", FrameForLocation);
    auto* row = new QHBoxLayout(FrameForLocation);
    row->addWidget(OptCarian3);
    row->addWidget(OptCarian4);
    row->addStretch();

    connect(OptCarian3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option3_Click();
    });
    connect(OptCarian4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptCarian4_Click();
    });
    connect(cboRegion, &QComboBox::activated, this, &frmCarian::cboRegion_Click);
    connect(cboState, &QComboBox::activated, this, &frmCarian::cboState_Click);
    connect(cboCity, &QComboBox::activated, this, &frmCarian::cboCity_Click);
    connect(cboWorkGroup, &QComboBox::activated, this, &frmCarian::cboWorkGroup_Click);
    connect(txtSegment, &QLineEdit::returnPressed, this, &frmCarian::txtSegment_Enter);
    return FrameLocation;
}

void frmCarian::Form_Load()
{
    clearGrid();
    NoAutoDetail = false;
    for (QRadioButton* option : {OptCarian1, OptCarian3}) {
        const QSignalBlocker blocker(option);
        option->setChecked(true);
    }
    if (Option1->isChecked())
        chooseTextKind(TextKind::IpAddress);
    else
        Option1->setChecked(true);
}

// ---- Kinds and options ----------------------------------------------------------------------------

void frmCarian::chooseTextKind(TextKind kind)
{
    m_mode = SearchMode::Text;
    m_kind = kind;
    clearGrid();
    FrameForLocation->hide();
    FrameLocation->hide();
    frameIPAddress->show();
    lblNotaCarian->hide();
    txtCarian->clear();
    const TextKindCaptions captions = captionsOf(kind);
    frameIPAddress->setTitle(captions.frame);
    lblCarian->setText(captions.label);
    lblNota->setText(captions.prompt);

    // The options change without their own handlers running: the kind has just cleared the list.
    const QSignalBlocker exact(OptCarian1);
    switch (kind) {
    case TextKind::IpAddress:
        FrameFor->show();
        OptCarian2->show();
        OptCarian5->show();
        // The chosen option stays chosen; with none chosen the search is an exact one.
        if (!m_matchOptions->checkedButton())
            OptCarian1->setChecked(true);
        break;
    case TextKind::StaffNo:
    case TextKind::Hostname:
        FrameFor->show();
        OptCarian2->hide();
        OptCarian5->hide();
        OptCarian1->setChecked(true);
        break;
    case TextKind::Remarks:
    case TextKind::Username:
        FrameFor->hide();
        m_matchOptions->setExclusive(false);
        OptCarian1->setChecked(false);
        m_matchOptions->setExclusive(true);
        break;
    }
}

void frmCarian::OptCarian_Click(bool all)
{
    clearGrid();
    lblNotaCarian->hide();
    txtCarian->setText(all ? TemporaryAll : QString());
}

MatchOption frmCarian::matchOption() const
{
    if (OptCarian1->isChecked())
        return MatchOption::Exact;
    if (OptCarian2->isChecked())
        return MatchOption::BeginWith;
    if (OptCarian5->isChecked())
        return MatchOption::Temporary;
    return MatchOption::None;
}

void frmCarian::showLocationFrames()
{
    m_mode = SearchMode::Location;
    clearGrid();
    lblNotaCarian->hide();
    FrameFor->hide();
    frameIPAddress->hide();
    FrameForLocation->show();
    FrameLocation->show();
    for (QComboBox* list : {cboRegion, cboState, cboCity})
        list->clear();
    lblState->setText(QStringLiteral("State :"));
    lblState->show();
    cboState->show();
}

void frmCarian::Option3_Click()
{
    showLocationFrames();
    cboWorkGroup->clear();
    for (QRadioButton* option : {Option3, OptCarian3}) {
        const QSignalBlocker blocker(option);
        option->setChecked(true);
    }
    lblWorkGroup->setText(QStringLiteral("WorkGroup :"));
    lblWorkGroup->show();
    cboWorkGroup->show();
    txtSegment->clear();
    txtSegment->hide();
    FillAreaCombo();
}

void frmCarian::OptCarian4_Click()
{
    showLocationFrames();
    for (QWidget* part : std::initializer_list<QWidget*>{lblWorkGroup, cboWorkGroup, txtSegment})
        part->hide();
    FillAreaCombo();
}

void frmCarian::FillAreaCombo()
{
    const QString& loginRegion = m_context.session().LoginRegion;
    auto areas = m_location.areas(loginRegion);
    if (!areas)
        return showError(areas.error());
    fillList(cboRegion, *areas);
    // An area administrator's own area stands chosen, with its states or cities listed.
    if (!loginRegion.isEmpty()) {
        cboRegion->setCurrentIndex(0);
        cboRegion_Click();
    }
}

bool frmCarian::workgroupMode() const
{
    return OptCarian3->isChecked();
}

// ---- Searches -------------------------------------------------------------------------------------

void frmCarian::cmdCari_Click()
{
    if (m_mode != SearchMode::Text)
        return;
    const QString text = txtCarian->text();
    if (text.isEmpty()) {
        m_context.messenger().inform(this, SearchText::EmptySearch, MessageTitle::ErrorBang3,
                                     MessageIcon::Information);
        return;
    }
    if (isUnderMinimumLength(m_kind, text)) {
        if (m_kind == TextKind::Username)
            QApplication::beep();
        m_context.messenger().inform(this, minimumLengthMessage(text), {}, MessageIcon::Information);
        return;
    }
    const MatchOption option = matchOption();
    SearchSQL = textSearch(m_kind, option, text);
    runSearch(SearchSQL, notFoundMessage(m_kind, option, text), true, m_kind == TextKind::IpAddress);
}

void frmCarian::runSearch(const RecordSearch& search, const QString& notFound, bool beepWhenNone,
                          bool detailTip)
{
    gridCarian->setEnabled(true);
    m_pending = PendingSearch{notFound, beepWhenNone, detailTip, !NoAutoDetail};
    {
        const BusyCursor busy;
        m_model->run(search);
    }
    // A search read on its own thread: the grid shows the busy pointer until its first rows are listed.
    if (m_model->isSearching())
        gridCarian->setCursor(Qt::BusyCursor);
}

void frmCarian::searchSettled(const DbOutcome& outcome)
{
    const std::optional<PendingSearch> pending = std::exchange(m_pending, std::nullopt);
    gridCarian->unsetCursor();
    if (!outcome)
        return showError(outcome.error());
    if (!pending) {
        // The list read again (after a save, or on another database file).
        if (!m_model->isEmpty())
            paparSenaraiCarian();
        return;
    }
    if (m_model->isEmpty()) {
        if (pending->beepWhenNone)
            QApplication::beep();
        m_context.messenger().inform(this, pending->notFound, MessageTitle::NotFound,
                                     MessageIcon::Information);
        gridCarian->setToolTip({});
        lblNotaCarian->clear();
        return;
    }
    lblNotaCarian->show();
    if (pending->detailTip)
        gridCarian->setToolTip(SearchText::GridTip);
    paparSenaraiCarian();
    if (m_model->hasSingleRow() && pending->autoDetail)
        gridCarian_DblClick(0);
}

void frmCarian::paparSenaraiCarian()
{
    SetupResultGrid();
    // A large result is counted on a thread of its own; the note shows the number when it comes.
    showCount();
}

void frmCarian::showCount()
{
    if (m_model->isEmpty() || m_model->isSearching())
        return;
    // Until the count comes, no note: the one of the search before would be wrong.
    if (m_model->count() < 0)
        lblNotaCarian->clear();
    else
        lblNotaCarian->setText(resultNote(m_model->count()));
}

void frmCarian::clearGrid()
{
    m_pending.reset();
    gridCarian->unsetCursor();
    m_model->clear();
}

void frmCarian::cboRegion_Click()
{
    const QString area = cboRegion->currentText();
    cboCity->clear();
    lblState->show();
    cboState->show();
    auto lists = m_location.pickArea(area);
    if (!lists)
        return showError(lists.error());
    if (!area.isEmpty() && m_location.SegmentMode) {
        if (workgroupMode()) {
            txtSegment->clear();
            txtSegment->show();
            cboWorkGroup->hide();
            lblWorkGroup->setText(QStringLiteral("Segment :"));
        }
        lblState->hide();
        cboState->hide();
        fillList(cboCity, lists->cities);
        return;
    }
    if (workgroupMode()) {
        txtSegment->hide();
        cboWorkGroup->show();
        lblWorkGroup->setText(QStringLiteral("WorkGroup :"));
    }
    fillList(cboState, lists->states);
    // The only state of an area stands chosen, with its cities listed.
    if (lists->states.size() == 1) {
        cboState->setCurrentIndex(0);
        cboState_Click();
    }
}

void frmCarian::cboState_Click()
{
    const QString state = cboState->currentText();
    if (state.isEmpty())
        return;
    auto cities = m_location.pickState(state, cboRegion->currentText());
    if (!cities)
        return showError(cities.error());
    fillList(cboCity, *cities);
}

void frmCarian::cboCity_Click()
{
    const QString city = cboCity->currentText();
    const QString area = cboRegion->currentText();
    if (workgroupMode()) {
        auto workgroups = m_location.workgroups();
        if (!workgroups)
            return showError(workgroups.error());
        fillList(cboWorkGroup, *workgroups);
        if (m_location.SegmentMode) {
            txtSegment->clear();
            m_location.setSegment(0);
        }
        if (!city.isEmpty()) {
            if (auto read = m_location.readCity(city, area); !read)
                showError(read.error());
        }
        return;
    }
    if (city.isEmpty())
        return;
    if (auto read = m_location.readCity(city, area); !read)
        return showError(read.error());
    cariBaseLocation2();
}

void frmCarian::cboWorkGroup_Click()
{
    if (auto picked = m_location.pickWorkgroup(cboWorkGroup->currentText()); !picked)
        return showError(picked.error());
    cariBaseLocation();
}

void frmCarian::txtSegment_Enter()
{
    const QString segment = txtSegment->text();
    if (segment.isEmpty() || !isNumberWithin(segment, 255)) {
        if (segment.isEmpty())
            QApplication::beep();
        m_context.messenger().inform(this,
                                     segment.isEmpty() ? SearchText::EmptySegment : SearchText::BadSegment,
                                     SearchText::SegmentTitle, MessageIcon::Exclamation);
        txtSegment->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_location.setSegment(segment.toInt());
    cariBaseLocation();
}

void frmCarian::cariBaseLocation()
{
    const std::optional<RecordSearch> search = m_location.prefixSearch();
    if (!search) {
        m_context.messenger().inform(this, octet3TooHighMessage(m_location.IPOctet3), MessageTitle::Error,
                                     MessageIcon::Exclamation);
        return;
    }
    SearchSQL = *search;
    runSearch(SearchSQL, SearchText::LocationNotFound, false, true);
}

void frmCarian::cariBaseLocation2()
{
    SearchSQL =
        RecordSearch::of(RecordSearch::Kind::AreaCity, cboRegion->currentText(), cboCity->currentText());
    runSearch(SearchSQL, SearchText::LocationNotFound, false, true);
}

// ---- Grid -----------------------------------------------------------------------------------------

void frmCarian::SetupResultGrid()
{
    applyColumnWidths();
}

int frmCarian::baseColumnWidth(int column) const
{
    return fontMetrics().horizontalAdvance(QString(ColumnCharacters[column], QLatin1Char('X')));
}

void frmCarian::fitColumns(int first, int last)
{
    // Only the rows just listed are measured: a part at a time, never the whole result.
    const QFontMetrics metrics(gridCarian->font());
    const int padding = 2 * metrics.horizontalAdvance(QLatin1Char(' ')) + 2;
    for (int row = first; row <= last; ++row) {
        for (int column = 0; column < BlankColumnIndex; ++column) {
            const QString text = m_model->index(row, column).data().toString();
            if (!text.isEmpty())
                m_contentWidths[column] =
                    qMax(m_contentWidths[column], metrics.horizontalAdvance(text) + padding);
        }
    }
    applyColumnWidths();
}

void frmCarian::applyColumnWidths()
{
    // Each column has at least its own width. With rows, each is as wide as its texts and its caption;
    // when they do not all fit in the grid, the widest ones share the room left equally, down to their
    // own widths.
    std::array<int, BlankColumnIndex> least{};
    std::array<int, BlankColumnIndex> widths{};
    const bool listed = *std::max_element(m_contentWidths.begin(), m_contentWidths.end()) > 0;
    const QFontMetrics captions(gridCarian->horizontalHeader()->font());
    for (int column = 0; column < BlankColumnIndex; ++column) {
        const QString caption = m_model->headerData(column, Qt::Horizontal).toString();
        least[column] = baseColumnWidth(column);
        widths[column] =
            listed
                ? std::max({m_contentWidths[column], captions.horizontalAdvance(caption) + 16, least[column]})
                : least[column];
    }
    QHeaderView* header = gridCarian->horizontalHeader();
    const int blank = qMax(baseColumnWidth(BlankColumnIndex), header->minimumSectionSize());
    int room = gridCarian->viewport()->width() - blank;
    std::array<int, BlankColumnIndex> byWidth{0, 1, 2, 3, 4, 5};
    std::sort(byWidth.begin(), byWidth.end(), [&widths](int a, int b) { return widths[a] < widths[b]; });
    for (int i = 0; i < BlankColumnIndex; ++i) {
        const int share = qMax(room / (BlankColumnIndex - i), 0);
        int& width = widths[byWidth[i]];
        width = qMin(width, qMax(share, least[byWidth[i]]));
        room -= width;
    }
    m_applyingWidths = true;
    for (int column = 0; column < BlankColumnIndex; ++column) {
        if (!m_userSized[column])
            header->resizeSection(column, widths[column]);
    }
    header->resizeSection(BlankColumnIndex, blank);
    m_applyingWidths = false;
}

void frmCarian::gridCarian_DblClick(int row)
{
    const qint64 rowId = m_model->rowIdAt(row);
    if (rowId != 0)
        m_windows.showDetail(RecordSearch::row(rowId), *this);
}

bool frmCarian::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == gridCarian->viewport() && event->type() == QEvent::Resize)
        applyColumnWidths();
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == gridCarian && key->key() == Qt::Key_Delete) {
        gridCarian_Delete();
        return true;
    }
    if (watched == txtCarian && !(key->modifiers() & ~Qt::KeypadModifier)) {
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            cmdCari_Click();
            return true;
        case Qt::Key_Down:
        case Qt::Key_Up:
            focusNextPrevChild(key->key() == Qt::Key_Down);
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmCarian::gridCarian_Delete()
{
    const QModelIndex current = gridCarian->currentIndex();
    if (!current.isValid())
        return;
    // From the current row to the other end of the selection, which may lie above or below it.
    int from = current.row();
    int to = from;
    const QItemSelection selection = gridCarian->selectionModel()->selection();
    if (!selection.isEmpty()) {
        const int top = selection.first().top();
        const int bottom = selection.first().bottom();
        if (from == top || from == bottom) {
            to = from == top ? bottom : top;
        } else {
            from = top;
            to = bottom;
        }
    }
    const int count = qAbs(to - from) + 1;
    if (!m_context.messenger().confirm(this, SearchText::DeleteQuestion.arg(count), {}, MessageIcon::Critical,
                                       MessageButtons::YesNo, MessageAnswer::No))
        return;
    DbResult<qint64> deleted = qint64(0);
    {
        const BusyCursor busy;
        deleted = m_store.removeRows(m_model->rowIdsBetween(from, to));
    }
    if (!deleted)
        return showError(deleted.error());
    repeatSearchOnScreen();
}

void frmCarian::repeatSearchOnScreen()
{
    if (m_mode == SearchMode::Location) {
        if (workgroupMode())
            cboWorkGroup_Click();
        else
            cboCity_Click();
    } else {
        cmdCari_Click();
    }
}

void frmCarian::refreshAfterSave()
{
    m_pending.reset();
    const BusyCursor busy;
    m_model->run(SearchSQL);
}

void frmCarian::refreshAfterDelete()
{
    clearGrid();
    // The repeated search does not open the detail window again for a single remaining row.
    const auto repeat = [this](void (frmCarian::*step)()) {
        NoAutoDetail = true;
        (this->*step)();
        NoAutoDetail = false;
    };
    if (m_mode == SearchMode::Text && OptCarian2->isChecked()) {
        repeat(&frmCarian::cmdCari_Click);
    } else if (m_mode == SearchMode::Location) {
        repeat(workgroupMode() ? &frmCarian::cboWorkGroup_Click : &frmCarian::cboCity_Click);
    } else {
        NoAutoDetail = false;
        gridCarian->setEnabled(false);
        lblNotaCarian->clear();
    }
}

void frmCarian::showError(const QString& error)
{
    m_context.messenger().inform(this, error, MessageTitle::ErrorBang3, MessageIcon::Critical);
}

} // namespace tarvo
