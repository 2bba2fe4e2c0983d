#pragma once

#include "plan/SettingsPage.h"

class QComboBox;

namespace tarvo {

class LinkLabel;

// The City page: the cities or sites of an area. In an area with states the city belongs to a chosen
// state and carries an offset in steps of 10; in a segmented area the area's segment code stands for
// the state, and the city may carry a fixed third octet and its own range of fourth octets. Beside the
// octet fields two lists show which values other cities of the place already use.
class CityPage final : public TablePage<CityRow>
{
public:
    CityPage(SettingsShared& shared, QWidget* parent = nullptr);

    void showPage() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cboRegionCity_Click();
    void cboStateCity_Click();
    void txtIPOctet2_LostFocus();
    void txtKodBandar_LostFocus();
    void pctOffsetList_Click();
    void pctOctet2List_Click();
    void explain(const QString& title, const QString& firstLine, const QString& text);

    void fillList() override;
    DbResult<bool> showRow(qint64 rowId) override;
    bool inputAccepted() override;
    bool acceptedAfterChecks() override;
    void reportClash(const PlanCheck& check) override;
    bool listUsable() const override;
    void setChoosersEnabled(bool enabled) override;
    void setFieldsEnabled(bool enabled) override;
    QStringList snapshot() const override;
    void firstFieldMissing() override;
    void editEnded() override;
    CityRow rowFromFields() const override;

    // Shows the fields of an area with states or of a segmented area.
    void showLayoutFor(bool segmented);
    bool rangeShown() const;
    int offsetLimit() const;
    void hidePictures();
    void clearPlace();
    void showPreview();

    bool SegmentMode = false;
    bool m_placeKnown = false; // the code that a new city gets is known: a state or a segmented area
    QString m_octet1 = QStringLiteral("xxx");
    QString m_octet2 = QStringLiteral("xxx");
    QString m_octet3 = QStringLiteral("xxx");

    QComboBox* cboRegionCity;
    QWidget* lblStateCity;
    QComboBox* cboStateCity;
    QLineEdit* txtKodNegeri;
    QLineEdit* txtBandar;
    QLineEdit* txtKodBandar;
    QLineEdit* txtIPOctet2;
    QLineEdit* txtOffset;
    QLineEdit* txtStartIPRange;
    QLineEdit* txtToIPRange;
    LinkLabel* lblIPOctet2;
    LinkLabel* lblOffset;
    LinkLabel* lblIPOctet3;
    LinkLabel* lblIPRange;
    QWidget* lblIPTo;
    LinkLabel* pctOffsetList;
    LinkLabel* pctOctet2List;
    QLabel* lblIPOctet;
};

} // namespace tarvo
