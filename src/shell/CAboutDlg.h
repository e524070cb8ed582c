#pragma once

#include <QtWidgets/QDialog>

class CZqApp;
class QLabel;

// "About My Tavrel": the shop, the program, the database file and the
// workstation, each in a panel of its own, and a "Users..." button that lists
// the workstations connected to the database. A click on the dialog's own
// surface closes it.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr unsigned IDC_ICON = 1908;
    static constexpr unsigned IDC_PANEL_COMPANY = 1901;
    static constexpr unsigned IDC_PANEL_PROGRAM = 1902;
    static constexpr unsigned IDC_PANEL_DATABASE = 1903;
    static constexpr unsigned IDC_PANEL_WORKSTATION = 1904;
    static constexpr unsigned IDC_USERS = 1001;

    static QString WindowTitle() { return QStringLiteral("About My Tavrel"); }

    CAboutDlg(const CZqApp &app, QWidget *parent = nullptr);
    ~CAboutDlg() override;

    // The text of a panel (by its id), as shown.
    QString panelText(unsigned id) const;

    // The workstations connected to the database, in a note box.
    void OnUsers();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLabel *addPanel(unsigned id, const QString &heading, const QString &text);
};
