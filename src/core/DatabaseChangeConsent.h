#pragma once

#include <QString>

class QWidget;

namespace tarvo {

class AppContext;
class WindowTracker;

// A command that switches the live database to another file or replaces its content, as the question
// before it names it.
struct DatabaseChange
{
    QString action; // what the user agrees to go on with: "change the Tarvo database"
    QString title;  // the title of the question and of a refusal
};

namespace DatabaseChanges {
inline const DatabaseChange Switch{QStringLiteral("change the Tarvo database"),
                                   QStringLiteral("Change Directory")};
inline const DatabaseChange Move{QStringLiteral("move the Tarvo database"),
                                 QStringLiteral("Move database ...")};
inline const DatabaseChange Restore{QStringLiteral("restore the Tarvo database"),
                                    QStringLiteral("Confirm Restore")};
inline const DatabaseChange Compact{QStringLiteral("compact the Tarvo database"),
                                    QStringLiteral("Compact Database")};
} // namespace DatabaseChanges

// The one rule before every switch, move, restore or compaction of the live database, so that no window
// loses what was typed in it without the user's consent:
// 1. a busy window refuses: its reason is shown and nothing happens;
// 2. every window with an unsaved edit is named in one question (Yes and No, No by default); No leaves
//    every window open with its typed text, and nothing happens;
// 3. on Yes those edits are dropped, and the windows that the command closes are closed.
// Only then does the command change the database, which therefore goes through at the first try.
class DatabaseChangeConsent
{
public:
    explicit DatabaseChangeConsent(const AppContext& context);

    // True when the change may go on. closing: the windows that the command closes (null when it closes
    // none); their busy reasons count too, and they are closed here once everyone agreed. False when one
    // of them still stays open.
    bool obtain(QWidget* parent, const DatabaseChange& change, WindowTracker* closing = nullptr) const;

private:
    const AppContext& m_context;
};

} // namespace tarvo
