#pragma once

#include <QFrame>

namespace tarvo {

class DatabaseService;

// A small window that says that the database is being brought up to date, for as long as the database
// service upgrades one while no other window of the program is on screen (at start-up, between the start
// window and the main window): on a large database that takes many seconds, and without it the program
// would seem not to have started. The busy pointer shows over it meanwhile. It is a splash screen without
// a frame of the window manager's: no button on it can minimise it, which would leave no window of the
// program on screen until the upgrade ends.
class UpgradeNotice final : public QFrame
{
    Q_OBJECT
public:
    explicit UpgradeNotice(DatabaseService& service, QWidget* parent = nullptr);

private:
    void upgradeStarted();
};

} // namespace tarvo
