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
} // namespace DatabaseChanges

// The one rule before every switch, move or restore of the live database, so that no window loses what
// was typed in it without the user's consent, nor for a change that then does not happen:
// 1. a busy window refuses: its reason is shown and nothing happens;
// 2. every window with an unsaved edit is named in one question (Yes and No, No by default); No leaves
//    every window open with its typed text, and nothing happens;
// 3. on Yes nothing is dropped yet. The command makes every check that can refuse it first; the edits
//    go only with the change that goes through (or with the windows the command closes, once nothing
//    can refuse it any more). A change refused after the question leaves every edit where it was.
// The agreement lasts as long as this object: create it where the command starts, beside its work.
class DatabaseChangeConsent
{
public:
    explicit DatabaseChangeConsent(const AppContext& context);
    ~DatabaseChangeConsent();
    DatabaseChangeConsent(const DatabaseChangeConsent&) = delete;
    DatabaseChangeConsent& operator=(const DatabaseChangeConsent&) = delete;

    // True when the change may go on. closing: the windows that the command closes (null when it closes
    // none); their busy reasons count too.
    bool obtain(QWidget* parent, const DatabaseChange& change, WindowTracker* closing = nullptr);

    // Drops the edits agreed to and closes the windows, once the command can no longer be refused. A
    // window (or a holder of the database) that became busy meanwhile refuses as in obtain(): its reason
    // is shown, nothing is dropped and nothing closes. False then, and when a window still stays open.
    bool closeWindows(QWidget* parent, WindowTracker& closing);

private:
    // Tells the user why the change cannot go on now (an operation under way, a busy window); false
    // when nothing is busy.
    bool refuseWhileBusy(QWidget* parent, WindowTracker* closing) const;

    const AppContext& m_context;
    bool m_agreed = false;
};

} // namespace tarvo
