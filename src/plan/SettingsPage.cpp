#include "plan/SettingsPage.h"

#include "core/AppContext.h"
#include "core/FieldNavigation.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarvo {

QString PlanText::pleaseEnter(const QString& caption)
{
    return QStringLiteral("Please enter ") + caption + QStringLiteral(" !");
}

QString PlanText::alreadyExists(const QString& caption)
{
    return QStringLiteral("Error at field ") + caption + QStringLiteral(" Record already exist !");
}

namespace {

QFrame* buttonFrame(const QString& name, QWidget* parent, std::initializer_list<QPushButton*> buttons)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    auto* row = buttonRow(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    frame->setLayout(row);
    for (QPushButton* button : buttons) {
        button->setParent(frame);
        button->setMinimumWidth(88);
    }
    return frame;
}

QString name(const char* prefix, const QString& suffix)
{
    return QString::fromLatin1(prefix) + suffix;
}

} // namespace

SettingsPage::SettingsPage(SettingsShared& shared, const QString& suffix, const char* listName,
                           const char* descriptionName, QWidget* parent)
    : QWidget(parent), m_shared(shared)
{
    m_listFrame = new QGroupBox(this);
    m_listFrame->setObjectName(name("Frame", suffix));
    m_list = new QListWidget(m_listFrame);
    m_list->setObjectName(QString::fromLatin1(listName));
    auto* listLayout = new QVBoxLayout(m_listFrame);
    listLayout->addWidget(m_list);
    m_listFrame->setMinimumWidth(210);

    m_top = new QVBoxLayout;
    m_form = new QFormLayout;
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_right = new QVBoxLayout;
    m_right->addLayout(m_form);
    if (descriptionName) {
        auto* frame = new QGroupBox(QStringLiteral("Description :"), this);
        m_description = new QLabel(frame);
        m_description->setObjectName(QString::fromLatin1(descriptionName));
        m_description->setWordWrap(true);
        m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_description->setMinimumHeight(64);
        auto* frameLayout = new QVBoxLayout(frame);
        frameLayout->addWidget(m_description);
        m_right->addSpacing(8);
        m_right->addWidget(frame);
    }
    m_right->addStretch();

    // The City page's frames are named with a small letter.
    const char* browse = suffix == QLatin1String("City") ? "frameOperasi" : "FrameOperasi";
    const char* edit = suffix == QLatin1String("City") ? "frameSimpan" : "FrameSimpan";
    m_add = makeButton(QStringLiteral("Add"), qPrintable(name("cmdTambah", suffix)), this);
    m_update = makeButton(QStringLiteral("Update"), qPrintable(name("cmdKemaskini", suffix)), this);
    m_delete = makeButton(QStringLiteral("Delete"), qPrintable(name("cmdHapus", suffix)), this);
    auto* close = makeButton(QStringLiteral("Close"), qPrintable(name("cmdTutup", suffix)), this);
    m_browseFrame = buttonFrame(name(browse, suffix), this, {m_add, m_update, m_delete, close});
    auto* saveButton = makeButton(QStringLiteral("Save"), qPrintable(name("cmdSimpan", suffix)), this);
    auto* cancel = makeButton(QStringLiteral("Cancel"), qPrintable(name("cmdBatal", suffix)), this);
    auto* close1 = makeButton(QStringLiteral("Close"), qPrintable(name("cmdTutup1", suffix)), this);
    m_editFrame = buttonFrame(name(edit, suffix), this, {saveButton, cancel, close1});

    auto* body = new QHBoxLayout;
    body->addWidget(m_listFrame, 2);
    body->addSpacing(6);
    body->addLayout(m_right, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_top);
    layout->addLayout(body, 1);
    layout->addWidget(m_browseFrame);
    layout->addWidget(m_editFrame);

    // A pick by mouse or keyboard shows the row.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_list->selectedItems().isEmpty())
            listClicked();
    });
    connect(m_add, &QPushButton::clicked, this, &SettingsPage::add);
    connect(m_update, &QPushButton::clicked, this, &SettingsPage::update);
    connect(m_delete, &QPushButton::clicked, this, &SettingsPage::remove);
    connect(saveButton, &QPushButton::clicked, this, &SettingsPage::save);
    connect(cancel, &QPushButton::clicked, this, &SettingsPage::cancel);
    for (QPushButton* button : {close, close1})
        connect(button, &QPushButton::clicked, this, [this] { m_shared.closeSettings(); });
    showEditFrame(false);
}

QLabel* SettingsPage::label(const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit* SettingsPage::addField(QLabel* label, const char* fieldName, QWidget* beside, Keys keys)
{
    QLineEdit* field = makeField(fieldName, this);
    field->setEnabled(false);
    label->setBuddy(field);
    m_labels.insert(field, label);
    if (beside) {
        auto* row = new QHBoxLayout;
        row->addWidget(field);
        row->addWidget(beside);
        row->addStretch();
        m_form->addRow(label, row);
    } else {
        m_form->addRow(label, field);
    }
    m_fields.append(field);
    if (keys == Keys::MoveBetweenFields)
        FieldNavigation::install(field);
    return field;
}

void SettingsPage::setHelp(QWidget* control, const QString& title, const QString& text)
{
    m_help.insert(control, {title, text});
    control->installEventFilter(this);
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && m_description && m_help.contains(watched)) {
        const Help help = m_help.value(watched);
        m_description->setText(QLatin1Char('\n') + help.title + QLatin1Char('\n') + help.text);
    }
    return QWidget::eventFilter(watched, event);
}

QString SettingsPage::captionOf(const QLineEdit* field) const
{
    const QLabel* label = m_labels.value(field);
    return label ? label->text() : QString();
}

void SettingsPage::headList()
{
    m_listFrame->setTitle(captionOf(m_fields.first()));
}

bool SettingsPage::isEditing() const
{
    return !m_editFrame->isHidden();
}

void SettingsPage::cancelEdit()
{
    if (isEditing())
        cancel();
}

void SettingsPage::warn(const QString& text, const QString& title, QWidget* focus)
{
    m_shared.context.messenger().inform(this, text, title, MessageIcon::Exclamation);
    if (focus)
        focus->setFocus();
}

void SettingsPage::showDatabaseError(const QString& error)
{
    m_shared.context.messenger().inform(this, error, QStringLiteral("Error !!!"), MessageIcon::Critical);
}

void SettingsPage::clearList()
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
}

void SettingsPage::offerAreas(QComboBox* combo, const std::function<DbResult<QList<AreaRow>>()>& read)
{
    {
        const QSignalBlocker blocker(combo);
        combo->clear();
    }
    const Session& session = m_shared.context.session();
    if (session.LoginGroup == GroupKawasan) {
        // Without an area of his own, the one item is empty.
        combo->addItem(session.LoginRegion);
        return;
    }
    auto areas = read();
    if (!areas)
        return showDatabaseError(areas.error());
    const QSignalBlocker blocker(combo);
    for (const AreaRow& row : std::as_const(*areas))
        combo->addItem(row.Region);
    combo->setCurrentIndex(-1);
}

void SettingsPage::addListEntry(const QString& text, qint64 rowId)
{
    auto* item = new QListWidgetItem(text, m_list);
    item->setData(Qt::UserRole, rowId);
}

void SettingsPage::forgetPickedRow()
{
    m_shownRowId = 0;
    m_update->setEnabled(false);
    m_delete->setEnabled(false);
    const QSignalBlocker blocker(m_list);
    m_list->clearSelection();
}

void SettingsPage::refreshBrowseButtons()
{
    m_list->setEnabled(listUsable());
    m_add->setEnabled(listUsable());
}

void SettingsPage::showEditFrame(bool editing)
{
    m_browseFrame->setVisible(!editing);
    m_editFrame->setVisible(editing);
}

void SettingsPage::clearFields()
{
    for (QLineEdit* field : std::as_const(m_fields))
        field->clear();
}

void SettingsPage::setFieldsEnabled(bool enabled)
{
    for (QLineEdit* field : std::as_const(m_fields))
        field->setEnabled(enabled);
}

QStringList SettingsPage::snapshot() const
{
    QStringList values;
    for (const QLineEdit* field : m_fields)
        values << field->text();
    return values;
}

void SettingsPage::restore(const QStringList& values)
{
    for (int i = 0; i < m_fields.size() && i < values.size(); ++i)
        m_fields[i]->setText(values[i]);
}

void SettingsPage::showPage()
{
    fillList();
    enterBrowseState();
}

void SettingsPage::enterBrowseState()
{
    showEditFrame(false);
    m_shared.lockTabs(false);
    forgetPickedRow();
    clearFields();
    setFieldsEnabled(false);
    refreshBrowseButtons();
    if (m_description)
        m_description->clear();
}

void SettingsPage::listClicked()
{
    const QList<QListWidgetItem*> picked = m_list->selectedItems();
    if (picked.isEmpty())
        return;
    m_shownRowId = picked.first()->data(Qt::UserRole).toLongLong();
    m_update->setEnabled(true);
    m_delete->setEnabled(true);
    clearFields();
    const DbResult<bool> shown = showRow(m_shownRowId);
    if (!shown || !*shown) {
        // Nothing is shown, so "Update" and "Delete" have nothing to act on.
        forgetPickedRow();
        if (!shown)
            return showDatabaseError(shown.error());
        warn(PlanText::RowGone, QStringLiteral("Error !!!"), nullptr);
        fillList();
        return;
    }
    setFieldsEnabled(false);
    m_remembered = snapshot();
}

void SettingsPage::add()
{
    beforeAdd();
    // What was shown before comes back on "Cancel".
    m_remembered = snapshot();
    setFieldsEnabled(true);
    clearFields();
    m_fields.first()->setFocus();
    m_list->setEnabled(false);
    setChoosersEnabled(false);
    showEditFrame(true);
    m_shared.lockTabs(true);
    m_shared.AddMode = true;
}

void SettingsPage::update()
{
    m_list->setEnabled(false);
    setChoosersEnabled(false);
    showEditFrame(true);
    m_shared.lockTabs(true);
    setFieldsEnabled(true);
    m_fields.first()->setFocus();
    m_remembered = snapshot();
}

void SettingsPage::cancel()
{
    setChoosersEnabled(true);
    restore(m_remembered);
    setFieldsEnabled(false);
    showEditFrame(false);
    m_shared.lockTabs(false);
    refreshBrowseButtons();
    forgetPickedRow();
    m_shared.AddMode = false;
    editEnded();
}

bool SettingsPage::passed(const DbResult<PlanCheck>& check)
{
    if (!check) {
        showDatabaseError(check.error());
        return false;
    }
    if (check->clash == PlanClash::RowGone) {
        warn(PlanText::RowGone, QStringLiteral("Error !!!"), nullptr);
        return false;
    }
    if (!check->passed()) {
        reportClash(*check);
        return false;
    }
    return true;
}

QLineEdit* SettingsPage::clashField(PlanClash clash) const
{
    // The fields stand in the order name, code, number on every page.
    switch (clash) {
    case PlanClash::Name:
        return m_fields.value(0);
    case PlanClash::Code:
        return m_fields.value(1);
    default:
        return m_fields.value(2);
    }
}

void SettingsPage::reportClash(const PlanCheck& check)
{
    QLineEdit* field = clashField(check.clash);
    warn(PlanText::alreadyExists(captionOf(field)), QStringLiteral("Error"), field);
}

void SettingsPage::save()
{
    QLineEdit* first = m_fields.first();
    if (first->text().isEmpty()) {
        firstFieldMissing();
        return warn(PlanText::pleaseEnter(captionOf(first)), QStringLiteral("Error !"), first);
    }
    if (snapshot() == m_remembered)
        return warn(PlanText::NotChanged, QStringLiteral("Error !!!"), first);
    if (!inputAccepted())
        return;
    const qint64 rowId = m_shared.AddMode ? 0 : m_shownRowId;
    DbResult<PlanCheck> checked = DbOutcome::failure({});
    {
        BusyCursor busy;
        checked = checkRow(rowId);
    }
    if (!passed(checked) || !acceptedAfterChecks())
        return;
    if (!m_shared.context.messenger().confirm(this, PlanText::SaveQuestion, QStringLiteral("Save record"),
                                              MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok))
        return;
    // The checks run again with the write, in case another workstation changed the table meanwhile.
    DbResult<PlanCheck> saved = DbOutcome::failure({});
    {
        BusyCursor busy;
        saved = saveRow(rowId);
    }
    if (!passed(saved))
        return;
    endEdit();
}

void SettingsPage::endEdit()
{
    fillList();
    setChoosersEnabled(true);
    enterBrowseState();
    m_shared.AddMode = false;
    editEnded();
}

void SettingsPage::remove()
{
    if (m_shownRowId == 0)
        return;
    if (!m_shared.context.messenger().confirm(this, PlanText::DeleteQuestion, QStringLiteral("Delete Record"),
                                              MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok))
        return;
    DbOutcome removed = DbOutcome::success();
    {
        BusyCursor busy;
        removed = removeRow(m_shownRowId);
    }
    if (!removed)
        return showDatabaseError(removed.error());
    fillList();
    setChoosersEnabled(true);
    forgetPickedRow();
    clearFields();
    setFieldsEnabled(false);
}

} // namespace tarvo
