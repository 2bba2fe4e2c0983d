#pragma once

#include "core/DbResult.h"
#include "plan/PlanEdits.h"
#include "plan/PlanStore.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <functional>

class QComboBox;
class QFormLayout;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace tarvo {

class AppContext;

// What the pages of the settings window share: the stores, the one add flag of the window, and what
// the window does for a page that starts or ends an edit or closes it.
struct SettingsShared
{
    AppContext& context;
    PlanStore store;
    PlanEdits edits;
    bool AddMode = false;                       // set by "Add" on any page, cleared when the edit ends
    std::function<void(bool editing)> lockTabs; // editing: only the page's own tab stays usable
    std::function<void()> closeSettings;
};

// One page of the settings window: a list of a table's rows, the fields of the row picked, and the
// browse frame ("Add", "Update", "Delete", "Close") and edit frame ("Save", "Cancel", "Close") that
// replace each other. The page machinery is the same on every page; a page adds its fields, reads and
// shows its rows and builds the row a save writes. The row shown, updated and deleted is the one picked
// in the list, by its rowid.
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    // Fills the page anew from the database and puts it into the browse state with empty fields.
    virtual void showPage();
    bool isEditing() const;
    // Drops an edit in progress as "Cancel" does; nothing when the page is not being edited.
    void cancelEdit();
    // Heads the list with the caption of the first field's label.
    void headList();

protected:
    // suffix completes the names of the frames and buttons ("Region": cmdTambahRegion, ...);
    // descriptionName names the help label, or is null for a page without one.
    SettingsPage(SettingsShared& shared, const QString& suffix, const char* listName,
                 const char* descriptionName, QWidget* parent);

    // A label of the page.
    QLabel* label(const char* name, const QString& caption);
    // Adds a labelled text field to the page's form, with the keyboard rule of the data fields unless
    // keys are left to the field itself; a widget to stand beside the field goes in the same row.
    enum class Keys
    {
        MoveBetweenFields,
        OwnOnly,
    };
    QLineEdit* addField(QLabel* label, const char* fieldName, QWidget* beside = nullptr,
                        Keys keys = Keys::MoveBetweenFields);
    // The help text the description label shows while a control has the focus.
    void setHelp(QWidget* control, const QString& title, const QString& text);
    // Shows a message with the exclamation icon and puts the focus on the control.
    void warn(const QString& text, const QString& title, QWidget* focus);
    void showDatabaseError(const QString& error);
    // The caption of a field's label.
    QString captionOf(const QLineEdit* field) const;

    // The list: one entry per row, named by name(row), standing for the row's rowid.
    template <class Row, class Name>
    void setListRows(const DbResult<QList<Row>>& rows, Name name)
    {
        clearList();
        if (!rows)
            return showDatabaseError(rows.error());
        for (const Row& row : *rows)
            addListEntry(name(row), row.rowId);
    }
    void clearList();
    // Fills an area list: an area administrator gets his own area only (an empty one when he has
    // none), made the current item (which runs the choice of a list that follows its current index);
    // anyone else the areas read, none current.
    void offerAreas(QComboBox* combo, const std::function<DbResult<QList<AreaRow>>()>& read);
    qint64 shownRowId() const { return m_shownRowId; }
    // The values remembered at the last pick, "Update" or "Add".
    const QStringList& remembered() const { return m_remembered; }
    // Forgets the row picked: "Update" and "Delete" are disabled until a row is picked again.
    void forgetPickedRow();
    // Enables the list and "Add" when the page knows what a new row belongs to.
    void refreshBrowseButtons();

    // What a page supplies.
    virtual void fillList() = 0;
    // Shows the row in the fields; false when it is gone.
    virtual DbResult<bool> showRow(qint64 rowId) = 0;
    virtual DbResult<PlanCheck> checkRow(qint64 rowId) = 0;
    virtual DbResult<PlanCheck> saveRow(qint64 rowId) = 0;
    virtual DbOutcome removeRow(qint64 rowId) = 0;
    // The required fields after the first, and other input checks before the database is asked;
    // false (after a message) stops the save.
    virtual bool inputAccepted() { return true; }
    // The page's own checks after the uniqueness tests.
    virtual bool acceptedAfterChecks() { return true; }
    // Reports a clash; by default on the field that holds the value.
    virtual void reportClash(const PlanCheck& check);
    virtual QLineEdit* clashField(PlanClash clash) const;
    // Whether a row can be picked or added now (an area or a state must be chosen first on some pages).
    virtual bool listUsable() const { return true; }
    // The page's area and state lists, locked during an edit.
    virtual void setChoosersEnabled(bool) {}
    virtual void clearFields();
    virtual void setFieldsEnabled(bool enabled);
    // The values "Record not changed !" compares and "Cancel" puts back.
    virtual QStringList snapshot() const;
    virtual void restore(const QStringList& values);
    // Steps of a page at the start of "Add", at a stop for an empty first field, and at the end of an
    // edit.
    virtual void beforeAdd() {}
    virtual void firstFieldMissing() {}
    virtual void editEnded() {}

    // The browse state after a fill of the page: empty, disabled fields.
    void enterBrowseState();

    SettingsShared& m_shared;
    QVBoxLayout* m_top;   // above the list and the fields: the page's area and state lists
    QFormLayout* m_form;  // the fields
    QVBoxLayout* m_right; // the fields and whatever stands under them
    QGroupBox* m_listFrame;
    QListWidget* m_list;
    QLabel* m_description = nullptr;
    QList<QLineEdit*> m_fields;
    QFrame* m_browseFrame;
    QPushButton* m_add;
    QPushButton* m_update;
    QPushButton* m_delete;
    QFrame* m_editFrame;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addListEntry(const QString& name, qint64 rowId);
    void listClicked();
    void add();
    void update();
    void cancel();
    void save();
    void remove();
    void showEditFrame(bool editing);
    void endEdit();
    // False after reporting a failed or refused check.
    bool passed(const DbResult<PlanCheck>& check);

    qint64 m_shownRowId = 0;
    QStringList m_remembered;
    struct Help
    {
        QString title;
        QString text;
    };
    QHash<const QObject*, Help> m_help;
    QHash<const QLineEdit*, QLabel*> m_labels;
};

// A page of one table: the checks, writes and deletes of its rows go to the plan store.
template <class Row>
class TablePage : public SettingsPage
{
protected:
    using SettingsPage::SettingsPage;

    // The row a save writes, from the fields.
    virtual Row rowFromFields() const = 0;

    DbResult<PlanCheck> checkRow(qint64 rowId) override
    {
        return m_shared.edits.check(rowId, rowFromFields());
    }
    DbResult<PlanCheck> saveRow(qint64 rowId) override { return m_shared.edits.save(rowId, rowFromFields()); }
    DbOutcome removeRow(qint64 rowId) override { return m_shared.edits.template remove<Row>(rowId); }
};

// The program's own texts of the settings window.
namespace PlanText {
inline const QString SaveQuestion = QStringLiteral("Save record to Tarvo database ?");
inline const QString DeleteQuestion = QStringLiteral("Delete record from Tarvo database ?");
inline const QString NotChanged = QStringLiteral("Record not changed !");
inline const QString RowGone = QStringLiteral("This record is no longer in Tarvo database.");
QString pleaseEnter(const QString& caption);
QString alreadyExists(const QString& caption);
} // namespace PlanText

} // namespace tarvo
