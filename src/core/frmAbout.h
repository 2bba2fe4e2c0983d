#pragma once

#include <QDialog>

namespace tarvo {

class AppContext;

// The About box: the program's title and version, its description, copyright and maker, and two
// links that open the maker's web page and start a mail to the maker.
class frmAbout final : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(const AppContext& context, QWidget* parent = nullptr);

private:
    void Label2_Click();
    void Label5_Click();

    const AppContext& m_context;
};

} // namespace tarvo
