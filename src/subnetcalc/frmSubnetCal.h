#pragma once

#include "subnetcalc/SubnetCalculation.h"

#include <QDialog>

#include <array>

class QFrame;
class QKeyEvent;
class QLabel;
class QListView;
class QPushButton;

namespace tarvo {

class Messenger;
class OctetBox;
class SubnetListModel;

// The subnet calculator: an address and a mask typed octet by octet give the network identifier with
// its prefix length, the class and type of the network, the usable hosts and the subnets of the mask
// around the network, whose row is selected. Each opening starts with the design texts.
class frmSubnetCal final : public QDialog
{
    Q_OBJECT
public:
    explicit frmSubnetCal(Messenger& messenger, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using OctetBoxes = std::array<OctetBox*, 4>;

    void buildControls();
    QFrame* buildOctetFrame(const QString& objectName, OctetBoxes& boxes, const QString& boxName,
                            const std::array<QString, 4>& texts);

    void txtip_Change(int index);
    void txtsm_Change(int index);
    // The focus moves on by itself after a full octet.
    void advanceTo(OctetBox* box);
    // Return true when the key is used up.
    bool txtip_KeyPress(int index, const QKeyEvent& key);
    bool txtsm_KeyPress(int index, const QKeyEvent& key);
    void cmdCalculate_Click();

    void showResult(const SubnetResult& result);
    void reportProblem(const SubnetCalculation& calculation);
    void showOctetRangeMessage();
    void showMaskMessage();
    static void focusBox(OctetBox* box);
    static OctetTexts textsOf(const OctetBoxes& boxes);

    Messenger& m_messenger;
    OctetBoxes m_txtip{};
    OctetBoxes m_txtsm{};
    // The box that a full octet moved the focus into, until a key is pressed in it or it loses the focus.
    OctetBox* m_autoEntered = nullptr;
    QFrame* m_picIP = nullptr;
    QFrame* m_picSM = nullptr;
    QPushButton* m_cmdCalculate = nullptr;
    QPushButton* m_cmdTutup = nullptr;
    QLabel* m_lblNetID = nullptr;
    QLabel* m_lblclass = nullptr;
    QLabel* m_lbltype = nullptr;
    QLabel* m_lblnumhosts = nullptr;
    QListView* m_lstNetIDs = nullptr;
    SubnetListModel* m_subnetModel = nullptr;
};

} // namespace tarvo
