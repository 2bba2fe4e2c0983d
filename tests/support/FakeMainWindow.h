#pragma once

#include "core/MainWindowAccess.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace tarvo::test {

// Records what other subsystems' windows did to the main window.
class FakeMainWindow final : public MainWindowAccess
{
public:
    void setMainCaption(const QString& text) override { caption = text; }
    QString mainCaption() const override { return caption; }
    void setUserAccountsEnabled(bool enabled) override { userAccounts = enabled; }
    bool userAccountsEnabled() const override { return userAccounts; }
    void setWebPatchAvailable(bool available) override
    {
        webPatch = available;
        webPatchCalls << available;
    }
    QWidget* mainWidget() override
    {
        if (!m_widget)
            m_widget = std::make_unique<QWidget>();
        return m_widget.get();
    }

    void showChildWindow(QWidget* window) override
    {
        shown << window;
        window->show();
    }
    void showOwnedWindow(QWidget* window) override
    {
        shown << window;
        window->show();
    }

    QString caption;
    bool userAccounts = true;
    QList<QPointer<QWidget>> shown;
    bool webPatch = false;
    QList<bool> webPatchCalls;

private:
    std::unique_ptr<QWidget> m_widget;
};

} // namespace tarvo::test
