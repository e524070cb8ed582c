#include "PrintFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/DlgItem.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Recordset.h"
#include "printing/CFormsDlg.h"
#include "printing/CPrintDlg.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTextStream>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtGui/QFontMetrics>
#include <QtWidgets/QTreeWidgetItemIterator>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QPlainTextEdit>

// Texts shown as texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

// A new shop with the printed-documents object installed.
class PrintDialogTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        path = tempPath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        SharedDatabase().open(path);
        app = std::make_unique<CZqApp>();
        Appearance::instance().LoadViewSettings();
        InstallPrinting(*app);
    }
    void TearDown() override
    {
        app.reset();
        SharedDatabase().close();
        PrintTest::TearDown();
    }
    QString sqlite(const QString &sql) const
    {
        QProcess process;
        process.start(QStringLiteral("sqlite3"), {path, sql});
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    // The shown entries of a tree whose text, with its picture and indent,
    // is wider than the tree shows.
    static QStringList cutEntries(QTreeWidget &tree)
    {
        QStringList cut;
        const int room = tree.viewport()->width();
        for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
            QTreeWidgetItem *item = *it;
            int depth = 1;
            bool shown = true;
            for (QTreeWidgetItem *up = item->parent(); up; up = up->parent(), ++depth)
                shown = shown && up->isExpanded();
            if (!shown)
                continue;
            QFont font = tree.font();
            if (item->data(0, Qt::FontRole).isValid())
                font = item->font(0).resolve(font);
            const int needed = tree.indentation() * depth + tree.iconSize().width() +
                               QFontMetrics(font).horizontalAdvance(item->text(0));
            if (needed > room)
                cut << item->text(0);
        }
        return cut;
    }
    // The document tree's entries as "kind text" ("- heading" for headings).
    static QStringList documents(CPrintDlg &d)
    {
        QStringList out;
        CXTreeOptCtrl *tree = d.documentTree();
        QTreeWidgetItem *root = tree->topLevelItem(0);
        for (int i = 0; root && i < root->childCount(); ++i) {
            QTreeWidgetItem *item = root->child(i);
            const unsigned id = tree->GetOptionId(item);
            out << (id ? QString::number(id) + QLatin1Char(' ') : QStringLiteral("- ")) + item->text(0);
        }
        return out;
    }
    static QString optionText(CXTreeOptCtrl *tree, int option)
    {
        QTreeWidgetItem *item = tree->FindOption(unsigned(option));
        return item ? item->text(0) : QString();
    }
    static void snapshot(QWidget &w, const QString &name) { SaveSnapshot(w, QStringLiteral("printing"), name); }

    std::unique_ptr<CZqApp> app;
    QString path;
};

} // namespace

TEST_F(PrintDialogTest, TheJobsAndQuotesTreesNumberTheirDocuments)
{
    CXListCtrl list;
    struct Case
    {
        int branch;
        QStringList expected; // a selection of the entries, in order
        int defaultKind;
    };
    const Case cases[] = {
        {0,
         {"- For In-House: ", "1 Work Order", "- For Customer:", "2 Invoice", "3 Order Receipt", "4 Delivery Ticket",
          "5 Invoice", "6 Invoice (Booklet)", "7 Invoice (Letter Style)", "- List:", "100 - the list on the screen -",
          "- Jobs:", "101 Job Dates", "102 Job Amounts", "- Items:", "103 Item Specs", "104 Item Amounts",
          "- Services:", "105 Service Specs", "106 Service Amounts", "- Barcodes", "107 Item Barcodes",
          "- Shipping:", "108 Ship by Job No", "109 Ship by Via"},
         1},
        {1,
         {"- For In-House: ", "1 Estimate", "- For Customer:", "2 Quote", "3 Proposal", "4 Estimate", "5 Quotation",
          "6 Quotation (Booklet)", "7 Quotation (Letter Style)", "- List:",
          "100 - the list on the screen -", "- Jobs:", "101 Job Dates", "102 Job Amounts", "- Items:",
          "103 Item Specs", "104 Item Amounts", "- Services:", "105 Service Specs", "106 Service Amounts",
          "- Barcodes", "107 Item Barcodes"},
         1},
        {3, {"- For In-House: ", "1 Copy of Work Order", "- For Customer:", "2 Copy of Invoice"}, 1},
    };
    for (const Case &c : cases) {
        onDialog<CPrintDlg>([&](CPrintDlg &d) {
            const QStringList shown = documents(d);
            for (int i = 0; i < c.expected.size(); ++i)
                EXPECT_EQ(shown.value(i), c.expected[i]) << "branch " << c.branch;
            EXPECT_EQ(d.m_nKind, c.defaultKind);
            if (c.branch == 1)
                snapshot(d, QStringLiteral("print_dialog_quote"));
            return 2;
        });
        CPrintDlg dialog(30001, c.branch, 1, 0, &list, nullptr, 0, nullptr);
        EXPECT_EQ(dialog.DoModal(), 2);
    }
    // Without a list on the screen the list entries are left out.
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        const QStringList shown = documents(d);
        EXPECT_EQ(shown.last(), QStringLiteral("7 Invoice (Letter Style)"));
        return 2;
    });
    CPrintDlg noList(30001, 0, 1, 0, nullptr, nullptr, 0, nullptr);
    noList.DoModal();
    // The other views' lists.
    struct ViewCase
    {
        int view, branch, item;
        QStringList expected;
        int defaultKind;
    };
    const ViewCase views[] = {
        {30004, 8, 1, {"1 Statement", "2 Past-Due Notice", "3 Statement", "4 Statement (Letter Style)", "- List:",
                       "100 - the list on the screen -"}, 1},
        {30004, 2, 1, {"100 - the list on the screen -", "101 Aging Report", "102 Invoice List"}, 100},
        {30003, 1, 1, {"100 - the list on the screen -", "101 Barcodes of Selected Customers"}, 100},
        {44231, 0, 0, {"100 - the list on the screen -", "101 Posting Reports"}, 101},
        {30005, 4, 12, {"100 - the list on the screen -", "101 --- with totals ---"}, 100},
        {30007, 0, 0, {"100 - the list on the screen -", "- Orders", "101 Weekly Schedule by Job Due Date"}, 100},
    };
    for (const ViewCase &v : views) {
        onDialog<CPrintDlg>([&](CPrintDlg &d) {
            EXPECT_EQ(documents(d).mid(0, v.expected.size()), v.expected) << v.view;
            EXPECT_EQ(d.m_nKind, v.defaultKind) << v.view;
            return 2;
        });
        CPrintDlg dialog(v.view, v.branch, v.item, 0, &list, nullptr, 0, nullptr);
        dialog.DoModal();
    }
}

TEST_F(PrintDialogTest, OptionsFollowTheDocumentAndItsRadioGroups)
{
    CXListCtrl list;
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        CXTreeOptCtrl *options = d.optionsTree();
        // The quote document 2 (form 12): option 22 prices more quantities.
        d.SelectDocument(2);
        EXPECT_EQ(d.m_nFormNo, 12);
        EXPECT_EQ(optionText(options, 22), QStringLiteral("Prices for more quantities"));
        EXPECT_EQ(optionText(options, 1), QStringLiteral("Standard (job totals at bottom)"));
        // The Quotation (form 15) starts from its form's options.
        d.SelectDocument(5);
        EXPECT_EQ(int(options->GetCheckedBits()), 0x627F9);
        // Styles are one radio group, the description levels another.
        d.SetOption(2, true);
        EXPECT_FALSE(options->IsOptionChecked(1));
        EXPECT_TRUE(options->IsOptionChecked(2));
        EXPECT_FALSE(options->IsOptionChecked(3));
        d.SetOption(16, true);
        d.SetOption(14, true);
        EXPECT_EQ(int(options->GetCheckedBits()) & 0xF000, 0x2000);
        // Other options are independent boxes.
        d.SetOption(20, true);
        d.SetOption(21, true);
        EXPECT_TRUE(options->IsOptionChecked(20));
        EXPECT_TRUE(options->IsOptionChecked(21));
        // The list of job amounts has its costs option; the list on the
        // screen its highlighted rows.
        d.SelectDocument(102);
        EXPECT_EQ(optionText(options, 1), QStringLiteral("Costs and Margins"));
        d.SelectDocument(100);
        EXPECT_EQ(optionText(options, 1), QStringLiteral("Highlighted Rows Only"));
        // Email PDF only for documents, Email RTF only for the quote
        // document 2, Landscape only for lists.
        CXRibbon *r = d.ribbon();
        EXPECT_EQ(r->itemAt(r->FindItem(30562)).state, struct_RIB_ITEM::Hidden);
        EXPECT_NE(r->itemAt(r->FindItem(1101)).state, struct_RIB_ITEM::Hidden);
        d.SelectDocument(2);
        EXPECT_NE(r->itemAt(r->FindItem(30562)).state, struct_RIB_ITEM::Hidden);
        EXPECT_NE(r->itemAt(r->FindItem(30563)).state, struct_RIB_ITEM::Hidden);
        EXPECT_EQ(r->itemAt(r->FindItem(1101)).state, struct_RIB_ITEM::Hidden);
        d.SetOption(4, true);
        d.SendCommand(57609);
        return d.result();
    });
    CPrintDlg dialog(30001, 1, 1, 0, &list, nullptr, 0, nullptr);
    EXPECT_EQ(dialog.DoModal(), 57609);
    EXPECT_EQ(dialog.m_nKind, 2);
    EXPECT_EQ(dialog.m_strTitle, QStringLiteral("Quote"));
    EXPECT_TRUE(dialog.m_nOptions & 0x8);

    // An order's document 5 keeps option 22 as the shipped-today question;
    // a stored choice applies only to its own document.
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        EXPECT_EQ(d.m_nKind, 7);
        EXPECT_EQ(int(d.optionsTree()->GetCheckedBits()), 0x5);
        d.SelectDocument(5);
        EXPECT_EQ(optionText(d.optionsTree(), 22), QStringLiteral("Ask 'Shipped today?'"));
        EXPECT_EQ(int(d.optionsTree()->GetCheckedBits()), 0x627F9);
        d.SelectDocument(7);
        EXPECT_EQ(int(d.optionsTree()->GetCheckedBits()), 0x5);
        return 2;
    });
    CPrintDlg stored(30001, 0, 1, 7, &list, nullptr, 5, nullptr);
    stored.m_nPresetKind = 7;
    stored.m_nPresetOptions = 5;
    stored.DoModal();
}

TEST_F(PrintDialogTest, TheTitleNamesCopiesDocumentAndPrinter)
{
    CXListCtrl list;
    struct Case
    {
        QString stored; // "" none
        QString title;
    };
    const Case cases[] = {
        {QString(), QStringLiteral("Print 1 copy of Invoice to < no default printer >")},
        {QStringLiteral("Office Laser \u00B7 2"), QStringLiteral("Print 2 copies of Invoice to Office Laser")},
        {QStringLiteral("Counter \u00B7 1"), QStringLiteral("Print 1 copy of Invoice to Counter")},
    };
    for (const Case &c : cases) {
        app->WriteSettingText(QStringLiteral("5"), c.stored, QStringLiteral("Printers"));
        onDialog<CPrintDlg>([&](CPrintDlg &d) {
            EXPECT_EQ(d.windowTitle(), c.title);
            return 2;
        });
        CPrintDlg dialog(30001, 0, 1, 5, &list, nullptr, 0, nullptr);
        dialog.DoModal();
    }
}

TEST_F(PrintDialogTest, SetupPdfInTwoStepsAndEachCancel)
{
    const QString question = QStringLiteral(
        "You will setup your PDF printer in two steps:\n\nIn step 1, you will select a PDF printer.\nIn step 2, you "
        "will select the output folder for PDF attachments.\n\nDo you want to continue?");
    auto stored = [this] {
        QString name;
        int copies = 0;
        app->GetFormPrinter(30561, name, copies);
        return name;
    };
    CXListCtrl list;
    // The attachment folder of this test's own (the default is the user's
    // documents folder, which tests never touch).
    app->WriteSettingText(QStringLiteral("Path-Attachment"), tempPath(QStringLiteral("pdf")) + QLatin1Char('/'));
    // Email PDF with no PDF writer set up leads into the set-up; No stores nothing.
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        prompts().answer(platform::IDNO);
        d.SendCommand(30562);
        EXPECT_EQ(prompts().lastText(), question);
        return 2;
    });
    CPrintDlg first(30001, 0, 1, 5, &list, nullptr, 0, nullptr);
    EXPECT_EQ(first.DoModal(), 2);
    EXPECT_EQ(stored(), QString());

    // Yes, then the folder choice cancelled: the writer is stored, the
    // folder keeps its value.
    const QString before = AttachmentFolder();
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        prompts().answer(platform::IDYES);
        prompts().answerFile(QString());
        prompts().answer(platform::IDOK);
        d.SendCommand(30561);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Tavrel will find PDF attachments in:\n") + before);
        return 2;
    });
    CPrintDlg second(30001, 0, 1, 5, &list, nullptr, 0, nullptr);
    second.DoModal();
    EXPECT_EQ(stored(), PdfWriterName());
    EXPECT_EQ(AttachmentFolder(), before);

    // A chosen folder is written back; Email PDF now ends the dialog.
    const QString folder = tempPath(QStringLiteral("attachments"));
    QDir().mkpath(folder);
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        prompts().answer(platform::IDYES);
        prompts().answerFile(folder);
        prompts().answer(platform::IDOK);
        d.SendCommand(30561);
        d.SendCommand(30562);
        return d.result();
    });
    CPrintDlg third(30001, 0, 1, 5, &list, nullptr, 0, nullptr);
    EXPECT_EQ(third.DoModal(), 30562);
    EXPECT_EQ(AttachmentFolder(), folder + QLatin1Char('/'));

    // The work order asks first whether it should go to the customer.
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        prompts().answer(platform::IDNO);
        d.SendCommand(30562);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("Are you sure you want to email the Work Order to the customer?"));
        EXPECT_EQ(prompts().shown().last().flags & platform::MB_DEFMASK, unsigned(platform::MB_DEFBUTTON2));
        return 2;
    });
    CPrintDlg ticket(30001, 0, 1, 1, &list, nullptr, 0, nullptr);
    EXPECT_EQ(ticket.DoModal(), 2);
}

TEST_F(PrintDialogTest, TheFormsDialogSavesTheRowAndStoresThePrinter)
{
    QString chosenName;
    onDialog<CFormsDlg>([&](CFormsDlg &d) {
        // Titles with their descriptions; the current form selected.
        EXPECT_EQ(optionText(d.documentTree(), 6), QStringLiteral("Invoice (Booklet)"));
        EXPECT_EQ(d.titleEdit()->text(), QStringLiteral("Work Order"));
        // Every option of the order documents reads whole, with the buttons
        // inside the window.
        for (int form : {1, 3}) {
            d.SelectDocument(form);
            EXPECT_EQ(cutEntries(*d.optionsTree()), QStringList()) << form;
            EXPECT_EQ(cutEntries(*d.documentTree()), QStringList()) << form;
        }
        for (unsigned id : {1u, 2u})
            EXPECT_LE(GetDlgItem(&d, id)->geometry().right(), d.width()) << id;
        d.SelectDocument(1);
        // A list form's title, margin, note and footer cannot be edited.
        d.SelectDocument(100);
        EXPECT_FALSE(d.titleEdit()->isEnabled());
        EXPECT_FALSE(d.noteEdit()->isEnabled());
        EXPECT_TRUE(d.topEdit()->isEnabled());
        // Form 12 does not exist; form 15 shows option 22 for quotes.
        d.SelectDocument(15);
        EXPECT_EQ(optionText(d.optionsTree(), 22), QStringLiteral("Prices for more quantities"));
        d.titleEdit()->setText(QStringLiteral("Price Quote"));
        d.descEdit()->setText(QStringLiteral("Spring"));
        d.leftEdit()->setText(QStringLiteral("0.5"));
        d.SetOption(3, true);
        // An italic font keeps " Italic" with its face.
        onDialog<QFontDialog>([](QFontDialog &f) {
            QFont font(QStringLiteral("Times New Roman"));
            font.setPointSizeF(11);
            font.setItalic(true);
            f.setCurrentFont(font);
            return int(QDialog::Accepted);
        });
        d.SendCommand(1001);
        EXPECT_TRUE(d.fontLabel()->text().endsWith(QStringLiteral(" Italic")));
        // The printer with two copies, stored at once. (Without installed
        // printers the printer system keeps no name but the copies.)
        onDialog<QPrintDialog>([&](QPrintDialog &p) {
            p.printer()->setPrinterName(QStringLiteral("Front Desk"));
            p.printer()->setCopyCount(2);
            chosenName = p.printer()->printerName();
            return int(QDialog::Accepted);
        });
        d.SendCommand(1002);
        EXPECT_EQ(d.printerLabel()->text(), chosenName);
        EXPECT_EQ(d.copiesLabel()->text(), QStringLiteral("2"));
        // A bad margin keeps the dialog on the form, refused naming its field
        // ("inf" and "nan" are no margins either).
        for (const char *bad : {"one", "inf", "nan", "1,5"}) {
            for (QLineEdit *edit : {d.leftEdit(), d.topEdit()}) {
                const QString before = edit->text();
                edit->setText(QString::fromLatin1(bad));
                prompts().clear();
                prompts().answer(platform::IDOK);
                d.SendCommand(1);
                const QString name = edit == d.topEdit() ? QStringLiteral("Top: ") : QStringLiteral("Left: ");
                EXPECT_EQ(prompts().texts(), QStringList{name + QStringLiteral("Please type a number.")}) << bad;
                EXPECT_TRUE(d.isVisible()) << bad;
                edit->setText(before);
            }
        }
        d.topEdit()->setText(QStringLiteral("1.25"));
        d.SendCommand(1);
        EXPECT_EQ(optionText(d.documentTree(), 15), QStringLiteral("Price Quote (Spring)"));
        snapshot(d, QStringLiteral("forms_dialog"));
        // Clearing the default printer of form 16.
        d.SelectDocument(16);
        d.SendCommand(1003);
        return 2;
    });
    CFormsDlg dialog(nullptr);
    dialog.m_nFormNo = 1;
    dialog.DoModal();
    EXPECT_TRUE(dialog.m_bSaved);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Title, Desc, LeftMargin, TopMargin, Options & 7 FROM Forms WHERE [No] = 15")),
              QStringLiteral("Price Quote|Spring|0.5|1.25|4"));
    EXPECT_TRUE(sqlite(QStringLiteral("SELECT FontName FROM Forms WHERE [No] = 15")).endsWith(QStringLiteral(" Italic")));
    // The profile holds the printer with its copies.
    platform::Settings::sync();
    QFile ini(platform::Settings::fileName());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("[Printers]"))) << qPrintable(text);
    EXPECT_EQ(platform::Settings::readString(QStringLiteral("Printers"), QStringLiteral("15")),
              chosenName + QStringLiteral(" \u00B7 2"));
    EXPECT_EQ(platform::Settings::readString(QStringLiteral("Printers"), QStringLiteral("16")),
              QStringLiteral(" \u00B7 1"));
}

TEST_F(PrintDialogTest, DefaultsOpenTheFormAndRefillTheDocuments)
{
    CXListCtrl list;
    onDialog<CPrintDlg>([&](CPrintDlg &d) {
        onDialog<CFormsDlg>([](CFormsDlg &f) {
            EXPECT_EQ(f.titleEdit()->text(), QStringLiteral("Invoice"));
            f.descEdit()->setText(QStringLiteral("Plain"));
            f.SendCommand(1);
            return 2;
        });
        d.SendCommand(30278);
        EXPECT_EQ(optionText(d.documentTree(), 5), QStringLiteral("Invoice (Plain)"));
        snapshot(d, QStringLiteral("print_dialog_order"));
        return 2;
    });
    CPrintDlg dialog(30001, 0, 1, 5, &list, nullptr, 0, nullptr);
    dialog.DoModal();
}
