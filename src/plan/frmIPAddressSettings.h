#pragma once

#include "plan/SettingsPage.h"

#include <QList>
#include <QWidget>

class QTabWidget;

namespace tarvo {

class AppContext;

// The address-plan settings window "IP Address Settings": one tab per table (areas, states, cities,
// work groups, equipment types). An area administrator ("Kawasan") reaches only the State and City
// tabs. While a page is being edited the other tabs are locked.
class frmIPAddressSettings final : public QWidget
{
    Q_OBJECT
public:
    explicit frmIPAddressSettings(AppContext& context, QWidget* parent = nullptr);
    ~frmIPAddressSettings() override;

private:
    void Form_Load();
    void SSTabSetting_Click();
    void lockTabs(bool editing);
    void CloseSettings();
    bool isAreaAdministrator() const;
    SettingsPage* currentPage() const;

    SettingsShared m_shared;
    QTabWidget* SSTabSetting;
    QList<QWidget*> m_tabs;
};

} // namespace tarvo
