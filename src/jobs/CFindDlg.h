#pragma once

#include "jobs/FindConditions.h"
#include "views/CDlg0.h"
#include "views/FindPrompt.h"

#include <QtCore/QDate>
#include <QtCore/QStringList>

#include <array>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;

// The find dialog "Find" (640): builds the filter of a list from a field, a
// comparison and values (simple form), or as free condition text with a sort
// field (advanced form, every column of the kind's tables). It does not run
// the search: the filter goes back to the caller. Run() is the one entry for
// every caller; the list views and pickers below the jobs reach it through
// the find slot of the views.
class CFindDlg : public CDlg0
{
    Q_OBJECT

public:
    CFindDlg(const QString &kind, bool allowListChoice, int colourScheme, QWidget *parent);

    // Presets the dialog from the request, runs it and gives the choice back
    // in the request: 1 Find Now, 2 Cancel, 30609 Find Items.
    static int Run(FindRequest &request, QWidget *parent);

    // The dialog's state (set before DoModal, read after it).
    QString m_strKind;
    bool m_bAllowListChoice = false;
    bool m_bShowAdvancedBox = true;
    bool m_bShowFindItems = false;
    bool m_bAdvanced = true;
    int m_nListIndex = 0;
    QString m_strListLabel;
    int m_nFieldIndex = 0;
    int m_nOperatorIndex = -1;
    QString m_strValue1;
    QString m_strValue2;
    QDate m_date1;
    QDate m_date2;
    int m_nOperatorList = 0;
    QString m_strCondition;
    QString m_strFilter;
    QString m_strSort;
    int m_nIfContains = 0;

    // The controls, for the caller's tests and the handlers.
    QListWidget *jobLists() const { return m_lists; }
    QListWidget *fields() const { return m_fields; }
    QListWidget *operators() const { return m_operators; }
    QLineEdit *value1Edit() const { return m_value1; }
    QLineEdit *value2Edit() const { return m_value2; }
    QLineEdit *filterEdit() const { return m_filterEdit; }
    QComboBox *choices() const { return m_choices; }
    QComboBox *sortList() const { return m_sortList; }
    QComboBox *sortDirection() const { return m_sortDirection; }
    QDateEdit *picker1() const { return m_picker1; }
    QDateEdit *picker2() const { return m_picker2; }
    QCheckBox *advancedBox() const { return m_advancedBox; }

    // The handlers, as the controls run them.
    void OnFieldChanged();
    void OnOperatorChanged();
    void OnValueChanged();
    void OnChoiceChanged();
    void OnSwitchForm();
    void OnAddToFilter();
    void OnClearFilter();
    void OnOptions();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void BuildFieldList();
    void ShowValueControls();
    void FillValueChoices();
    void BuildCondition();
    void ShowForm();
    void UpdateFilterButtons();
    int FieldType() const;
    // The values typed for a number field hold a number; else the first
    // that does not is refused naming the field, and false.
    bool NumbersRead();

    QListWidget *m_lists = nullptr;
    QListWidget *m_fields = nullptr;
    QListWidget *m_operators = nullptr;
    QLineEdit *m_value1 = nullptr;
    QLineEdit *m_value2 = nullptr;
    QLineEdit *m_filterEdit = nullptr;
    QComboBox *m_choices = nullptr;
    QComboBox *m_sortList = nullptr;
    QComboBox *m_sortDirection = nullptr;
    QDateEdit *m_picker1 = nullptr;
    QDateEdit *m_picker2 = nullptr;
    QCheckBox *m_advancedBox = nullptr;
    std::array<CXWnd, 4> m_panels;
    QStringList m_columns; // the column expression of each simple-form row
    bool m_bFilling = false;
};
