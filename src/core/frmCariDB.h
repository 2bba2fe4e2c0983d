#pragma once

#include "core/DatabaseLocation.h"

#include <QDialog>

class QLabel;

namespace tarvo {

class AppContext;

// The locate-database dialog. It asks for the database file with the open-file dialog, shows the
// folder of the file chosen and waits for OK. It only collects the choice; the caller puts the
// database into service.
class frmCariDB final : public QDialog
{
    Q_OBJECT
public:
    frmCariDB(const AppContext& context, LocateMode mode, QWidget* parent = nullptr);

    // Runs the open-file dialog and then this window until OK, showing the folder of the database
    // chosen or, after a cancel, the folder where the search started (nothing is chosen then). At
    // start-up, giving up without a recorded location or choosing a folder without the database ends
    // the program (after a message); from "Change Directory" both keep the database in use.
    LocateChoice run();

private:
    void Command1_Click();

    const AppContext& m_context;
    LocateMode m_mode;
    QLabel* m_folder = nullptr;
};

} // namespace tarvo
