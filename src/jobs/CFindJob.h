#pragma once

#include "jobs/ItemFinderQuery.h"
#include "views/CDlg0.h"

class CXListCtrl;
class QComboBox;
class QDateEdit;
class QLineEdit;

// The item finder "Find Items" (641): finds items across the jobs of one job
// list by customer, a date range on one job date, CSR, product type, item
// description, item note and service, lists them in one of three orders, and
// opens the job, the item or the customer, prints or exports the list, or
// ends with the chosen item's job ("Jobs.JobID = %d").
class CFindJob : public CDlg0
{
    Q_OBJECT

public:
    explicit CFindJob(QWidget *parent);

    int m_nJobType = 3;
    QString m_strJobTypeLabel;
    QString m_strCustomer;
    qint32 m_nCusNo = 0;
    QString m_strService;
    qint32 m_nSerNo = 0;
    QString m_strResult;

    // The handlers, as the controls run them.
    void OnCustomerLookup();
    void OnServiceLookup();
    void ListItems(int button);
    void UpdateButtons();
    // The job of the selected row; 0 without one.
    qint32 SelectedJobId();
    // The filter the controls give.
    ItemFinderFilter ReadFilter() const;

    CXListCtrl *list() const { return m_list; }
    QLineEdit *customerEdit() const { return m_customer; }
    QLineEdit *serviceEdit() const { return m_service; }
    QLineEdit *descriptionEdit() const { return m_description; }
    QComboBox *jobTypes() const { return m_jobTypes; }
    QComboBox *dateFields() const { return m_dateFields; }
    QComboBox *dateRanges() const { return m_dateRanges; }
    QDateEdit *picker1() const { return m_picker1; }
    QString lastSql() const { return m_strSql; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnPrintList() override;
    void OnExportList() override;

private:
    CXListCtrl *m_list = nullptr;
    QLineEdit *m_customer = nullptr;
    QLineEdit *m_service = nullptr;
    QLineEdit *m_description = nullptr;
    QLineEdit *m_note = nullptr;
    QComboBox *m_jobTypes = nullptr;
    QComboBox *m_dateFields = nullptr;
    QComboBox *m_dateRanges = nullptr;
    QComboBox *m_csrs = nullptr;
    QComboBox *m_products = nullptr;
    QDateEdit *m_picker1 = nullptr;
    QDateEdit *m_picker2 = nullptr;
    QString m_strShownCustomer;
    QString m_strShownService;
    QString m_strSql;
};
