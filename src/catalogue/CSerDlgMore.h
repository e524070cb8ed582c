#pragma once

#include "views/CDlg0.h"

#include <memory>

class CSerSet;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// "More Service Properties": the scheduling, vendor, inventory and other
// fields of a service that its pricing screen leaves out. It works on the
// caller's record and writes nothing itself: "&Save" reads the fields into
// the record and the service dialog's save writes the row. The service
// picked for Auto-Add goes into the record at once.
class CSerDlgMore : public CDlg0
{
    Q_OBJECT

public:
    enum ControlId : unsigned {
        IDC_PRODDEP = 6101, IDC_OPERATOR, IDC_TAG, IDC_VENDOR, IDC_SKU, IDC_UPC, IDC_FSC, IDC_OPTINV, IDC_MINLEVEL,
        IDC_REORDER, IDC_INSTOCK, IDC_ONORDER, IDC_WAGEHR, IDC_SCHEDBY, IDC_OPTTAX, IDC_OPTCOM, IDC_OPTWO,
        IDC_AUTOADD = 6023, CAP_WAGE = 1521,
    };

    CSerDlgMore(CSerSet &set, QWidget *parent);
    ~CSerDlgMore() override;

    // 0 editable; any other value read-only.
    int m_nMode = 0;

    QComboBox *combo(unsigned id) const;
    QLineEdit *edit(unsigned id) const;
    QPushButton *autoAddButton() const { return m_autoAdd; }
    // The Auto-Add button's text for a service number.
    static QString AutoAddText(qint32 serNo);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void FillControls();
    bool ReadControls();
    void PickAutoAdd();

    CSerSet &m_set;
    std::unique_ptr<CSerSet> m_shown; // what the fields show
    QPushButton *m_autoAdd = nullptr;
};
