#pragma once

#include <QWidget>

class QTextBrowser;
class QUrl;

namespace tarvo {

class AppContext;

// The program's help window: the help file of the program folder in a text browser, so that help needs
// no web browser. Links to files are followed in the window; web pages and mail links go to the desktop,
// and the user is told when that cannot open them.
class frmHelp final : public QWidget
{
    Q_OBJECT
public:
    // The help window; null, after telling the user which file is missing or cannot be read, when the
    // program folder has no help file to show.
    static frmHelp* open(const AppContext& context, QWidget* parent);

    QSize sizeHint() const override;

private:
    frmHelp(const AppContext& context, const QString& helpFile, QWidget* parent);
    void txtHelp_AnchorClicked(const QUrl& link);

    const AppContext& m_context;
    QTextBrowser* m_text = nullptr;
};

} // namespace tarvo
