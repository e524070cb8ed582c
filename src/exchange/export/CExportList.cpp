#include "exchange/export/CExport.h"

#include "app/base/CZqApp.h"
#include "app/base/FileChoice.h"
#include "app/base/ShellFiles.h"
#include "controls/CXListCtrl.h"
#include "platform/Prompt.h"
#include "views/CDlg0.h"
#include "views/CDlgOptions.h"

bool CExport::AskWhichRows(bool &allRows, const QString &title, bool preferSelected)
{
    const int total = rowCount();
    const int selected = selectedCount();
    CDlgOptions choice(title, QString(), 0, nullptr);
    choice.AddRadioGroup(QStringLiteral("Which Rows?"), 0);
    const bool preferred = preferSelected || selected > 1;
    choice.AddEntry(101, QStringLiteral("All Rows: %1").arg(total), preferred ? 0 : 1);
    choice.AddEntry(102, QStringLiteral("Selected Rows: %1").arg(selected), preferred ? 1 : 0);
    choice.m_nSelect = {preferred ? 102L : 101L, 0, 0};
    if (choice.DoModal() != IDOK_RESULT)
        return false;
    allRows = choice.IsEntryChecked(101);
    return true;
}

void CExport::ExportList(int view, int branch, int entry, QString name, CXListCtrl *rowsList, bool allRows, int format)
{
    Q_UNUSED(entry);
    if (CZqApp *app = ZqApp(); app && !app->CheckPassword(73, QStringLiteral("export")))
        return;
    list = rowsList;
    const int total = rowCount();
    const int selected = selectedCount();

    int choice = 1;
    bool replaceLineBreaks = false;
    if (view == 30003) {
        const bool customers = branch < 5;
        CDlgOptions options(QStringLiteral("Export ") + (customers ? QStringLiteral("Customers") : QStringLiteral("Contacts")),
                            QString(), 0, nullptr);
        options.AddRadioGroup(QStringLiteral("Which information do you want to export?"), 0);
        options.AddEntry(1, QStringLiteral("- the list on the screen -"), 1);
        if (customers) {
            options.AddEntry(2, QStringLiteral("Address List of All Contacts"));
            options.AddEntry(3, QStringLiteral("Address List of Default Buyers only"));
            options.AddEntry(4, QStringLiteral("Address List of Default Payers only"));
            options.AddEntry(5, QStringLiteral("Address List of Customers (without contact names)"));
            options.AddEntry(6, QStringLiteral("Customer List for QuickBooks"));
        } else {
            options.AddEntry(10, QStringLiteral("Address and Phone List"));
        }
        options.AddRadioGroup(QStringLiteral("Which Rows?"), 0);
        options.AddEntry(101, QStringLiteral("All Rows: %1").arg(total), selected > 1 ? 0 : 1);
        options.AddEntry(102, QStringLiteral("Selected Rows: %1").arg(selected), selected > 1 ? 1 : 0);
        options.AddRadioGroup(QStringLiteral("Replace Line-Breaks with Spaces?"), 0);
        options.AddEntry(201, QStringLiteral("No"), 1);
        options.AddEntry(202, QStringLiteral("Yes"));
        options.m_nSelect = {1, selected > 1 ? 102L : 101L, 201};
        if (options.DoModal() != IDOK_RESULT)
            return;
        choice = int(options.GetCheckedInRange(1, 10));
        if (choice <= 0)
            choice = 1;
        allRows = options.IsEntryChecked(101);
        replaceLineBreaks = options.IsEntryChecked(202);
        if (choice > 1)
            name = options.GetEntryText(choice);
        // The IIF customer list is a file of its own kind: choosing it offers
        // the ".iif" type and writes that list.
        if (choice == 6)
            format = ::ExportIif;
    } else if (!allRows) {
        if (!AskWhichRows(allRows, QStringLiteral("Export"), false))
            return;
    }

    // The dialog offers only the types the chosen export writes: the IIF
    // customer list is an ".iif" file and nothing else, the other customer
    // and contact lists are delimited text.
    int type = format;
    QString path = name;
    QList<int> offered = {::ExportTabDelimited, ::ExportCommaDelimited};
    if (choice == 6)
        offered = {::ExportIif};
    else if (view != 30003 && (format == ::ExportIif || format == ::ExportPeachtree))
        offered = {::ExportTabDelimited, ::ExportCommaDelimited, ::ExportIif, ::ExportPeachtree};
    if (!ChooseExportFile(path, type, nullptr, QStringLiteral("Export to File:"), offered))
        return;
    // Opened here in binary mode: the writers put CR LF themselves.
    if (!OpenOutput(path)) {
        platform::Prompt::messageBox(QStringLiteral("Cannot open: ") + path + QStringLiteral("\n\n") + WriteError(),
                                     QString(), platform::MB_ICONHAND);
        return;
    }

    int written = 0;
    switch (type) {
    case ::ExportIif:
        separator = '\t';
        written = view == 30003 ? ExportQuickBooksCustomers() : ExportQuickBooks(allRows);
        break;
    case ::ExportPeachtree:
        separator = ',';
        written = ExportPeachtree(allRows);
        break;
    default:
        separator = type == ::ExportCommaDelimited ? ',' : '\t';
        written = choice == 1 ? WriteListRows(allRows) : WriteAddressList(choice, allRows, replaceLineBreaks);
        break;
    }

    // Stopped by the user, or nothing exported: the name keeps what it held
    // before (as the message says).
    if (!FinishOutput(written)) {
        if (WriteStopped())
            return;
        if (WriteFailed()) {
            ReportWriteFailure();
            return;
        }
    }
    if (!m_skipped.isEmpty()) {
        QStringList numbers;
        for (int posting : m_skipped)
            numbers.append(QString::number(posting));
        platform::Prompt::messageBox(QStringLiteral("These postings could not be exported: ") +
                                         numbers.join(QStringLiteral(", ")),
                                     QString(), platform::MB_ICONEXCLAMATION);
    }
    if (written == 0) {
        platform::Prompt::messageBox(QStringLiteral("No data is exported!"));
        return;
    }
    if (platform::Prompt::messageBox(QStringLiteral("Your data has been successfully exported to:\n") + path +
                                         QStringLiteral("\n\nDo you want to open it?"),
                                     QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
        ShellExecuteFile(QStringLiteral("open"), path, QString(), QString());
}
