#pragma once

#include "data/CAlertSet.h"
#include "views/CDlg0.h"

#include <memory>

class CXTreeCtrl;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

// The user's favourites of one kind (200 the lists of the list views, 211 the
// cutting layouts), kept as setting rows of table CustomerAlerts (CusNo 0,
// AlertType = the kind), one row per favourite: AlertText = group, description,
// filter and extra joined by " · "; AlertPrint = the view (view command id less
// 30001) for kinds other than 211; AlertColor and AlertSound two numbers for
// the caller. The dialog lists them grouped, lets the user rename one, change
// its filter, remove it, and pick one with OK.
class CFavoritesDlg : public CDlg0
{
    Q_OBJECT

public:
    static constexpr int kListFavorites = 200;
    static constexpr int kCutFavorites = 211;

    CFavoritesDlg(const QString &title, long value, int kind, QWidget *parent);
    ~CFavoritesDlg() override;

    // The separator of the four texts of a favourite.
    static QString Separator();
    // The stored text of a favourite and back. A middle dot inside the group,
    // the name or the filter text is kept with a backslash before it, so a
    // name holding " · " stays a name; the extra text (the last piece) takes
    // everything after the third separator as it is.
    static QString JoinText(const QString &group, const QString &description, const QString &filter,
                            const QString &extra);
    static QStringList SplitText(const QString &text);
    // The view key stored in AlertPrint, and searched by, for a kind and value.
    static int ViewKey(int kind, long value);
    // True when the stored text of a favourite fits the row that keeps it;
    // else says so ("This favorite cannot be saved: its text is longer than
    // 255 characters. ...") and the result is false. A favourite is never
    // kept cut: its filter would lose its end and select other rows.
    static bool TextFits(const QString &text);
    // Stores a new favourite under the same keys the dialog lists it by; its
    // AlertNo, or 0 when it could not be saved (a text too long is refused
    // before anything is written).
    static long AddFavorite(int kind, long value, const QString &group, const QString &description,
                            const QString &filter, const QString &extra, int colour, int sound);

    QString m_strGroup;
    QString m_strDescription;
    QString m_strFilter;
    QString m_strExtra;
    long m_nAlertNo = 0;
    int m_nKind = 0;
    long m_nValue = 0;
    int m_nPrint = 0;
    int m_nColor = 0;
    int m_nSound = 0;

    CXTreeCtrl *tree() const { return m_tree; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void LoadTree();
    void LoadItem(QTreeWidgetItem *item);
    void SaveChanges();
    void RemoveFavorite();

    CXTreeCtrl *m_tree = nullptr;
    QLineEdit *m_description = nullptr;
    QLineEdit *m_filter = nullptr;
    std::unique_ptr<CAlertSet> m_set;
    bool m_filling = false;
    QString m_strTitle;
};
