#pragma once

#include "controls/CXTreeCtrl.h"

#include <QtCore/QHash>
#include <QtCore/QList>

// An option tree: radio buttons, check boxes and group headers drawn as
// images, each option with a small integer id. The checked state of a whole
// list travels as a bit mask. A user's change is posted to the owner:
// 30243 (option id, new state) for a check box, 30245 (option id, the tree)
// for a radio button.
class CXTreeOptCtrl : public CXTreeCtrl
{
    Q_OBJECT

public:
    enum Image { RadioOff = 213, RadioOn = 214, CheckOff = 215, CheckOn = 216, GroupHeader = 253 };

    explicit CXTreeOptCtrl(QWidget *parent = nullptr);

    HTREEITEM AddRootOption(const QString &text, int image);
    HTREEITEM AddRootGroup(const QString &text, int image);
    HTREEITEM AddGroupHeader(const QString &text, HTREEITEM parent);
    bool AddRadio(unsigned id, const QString &text, HTREEITEM parent, bool checked);
    bool AddCheckBox(unsigned id, const QString &text, HTREEITEM parent, bool checked);
    bool AddOption(unsigned id, const QString &text, HTREEITEM parent, bool checked, bool radio);

    HTREEITEM FindOption(unsigned id) const;
    unsigned GetOptionId(HTREEITEM item) const;
    unsigned GetSelectedOptionId() const;
    void SelectOption(unsigned id);

    static bool IsRadioItem(HTREEITEM item);
    static bool IsCheckBoxItem(HTREEITEM item);
    static bool IsItemChecked(HTREEITEM item);
    void SetItemChecked(HTREEITEM item, bool checked);
    bool IsOptionChecked(unsigned id) const;
    void SetOptionChecked(unsigned id, bool checked);
    void SetRadioRange(unsigned first, unsigned last, unsigned selected);

    quint32 GetCheckedBits() const;
    void SetCheckedBits(quint32 mask, HTREEITEM parent = nullptr);
    void CollectCheckedData();
    const QList<quint32> &checkedData() const { return m_checked; }

    void LoadOptions(const QString &title, const QString &list, quint32 mask, int rootImage, bool expand,
                     bool skipFirst);
    void LoadOptionsFromResource(int stringId, const QString &title, quint32 mask, int rootImage, bool expand,
                                 bool skipFirst);
    // One unchecked check box per record of the query (the text of its second
    // column), under a root group with the title; nothing without records.
    void LoadOptionsFromQuery(const QString &sql, int image, const QString &title);
    void RemoveAllOptions();

protected:
    void onItemClick(HTREEITEM item, const QPoint &pos) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void toggle(HTREEITEM item, bool onIcon);
    void switchRadioOn(HTREEITEM item);
    void onCurrentChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);

    QList<quint32> m_checked;
    QHash<unsigned, HTREEITEM> m_options;
    bool m_userSelecting = false;
    bool m_pressOnIcon = false;
};
