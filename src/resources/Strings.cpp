#include "resources/Strings.h"

#include <QtCore/QHash>

#include <iterator>

namespace {

struct StringEntry
{
    int id;
    const char16_t *text;
};

// One line per id, in id order.
constexpr StringEntry kStrings[] = {
    {IDS_OLE_INIT_FAILED, u"OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    {IDR_MAINFRAME, u"Tavrel Application\n\nTavrel\n\n\nTavrel.Document\nTavrel.Document"},
    {IDS_DIFFICULTY, u"Normal,Normal+,Medium,Medium+,Difficult,"},
    {IDS_BLEED_SIDES, u"None,1 Side,2 Sides,3 Sides,4 Sides,"},
    {IDS_INK_COLORS, u" ,Black,Black + 1 Color,Black + 2 Colors,Black + 3 Colors,Black + 4 Colors,1 Color,2 Colors,3 Colors,4 Colors,5 Colors,6 Colors,7 Colors,8 Colors,9 Colors,10 Colors,11 Colors,12 Colors,"},
    {IDS_INK_COLORS_SHORT, u" ,Black,~Black+1,~Black+2,Color,~Black+4,~1Color,~2Colors,~3Colors,~4Colors,~5Colors,~6Colors,~7Colors,"},
    {IDS_PRINT_STYLES, u" ,Regular,Work & Turn,Work & Tumble,Work & Whirl,Signature,Work & Signature,"},
    {IDS_JOB_TYPES, u"Order,Quote,Template,History,PellOrder,PellQuote,"},
    {IDS_TODO_STATUSES, u"To-Do,In Progress,Paused,Done,"},
    {44081, u"In Progress,On Hold,Ready to Ship,Ready to Post,"},
    {44082, u"Hot,Warm,Cool,Won,Lost,"},
    {44083, u"Offset Printing,Digital Printing,Web/Pell,"},
    {44084, u"In History,"},
    {44085, u"Not Reviewed,In Review,To be Approved,Ready To Convert,Converted,"},
    {44086, u"All,Not Reviewed,In Review,To be Approved,Ready To Convert,Converted,"},
    {IDS_REQUIRE_ORDER_DATA, u"Orders:,Item Product Type,Ordered by,CSR,Sales Rep,Proof Date,Due Date,Reorder Date,"},
    {44309, u"Quotes:,Item Product Type,Ordered by,CSR,Sales Rep,Proof Date,Due Date,Reorder Date,"},
    {44312, u"When saving an Item (Specs window):,Always ask,Always save default price (do not ask),(a) Ask if price is locked   (b) Save default if not locked,(a) Ask if price is locked or was edited in Cost window  (b) Save default if not locked or edited,"},
    {44313, u"When repricing Items (Job window):,Always ask,Always save default price (do not ask),(a) Ask if price is locked   (b) Save default if not locked,(a) Ask if price is locked or was edited in Cost window  (b) Save default if not locked or edited,"},
    {44314, u"Show Item Cost in the 'Price Changed' window?,Show,Hide,"},
    {44321, u"History to Order:,Ship to Address,Ship Via,Buyer (ordered by),Location,Terms,Sales Tax,Sales Rep,Discount %,Set Shipping Charge to zero,Set Postage Charge to zero,CSR (assign this computer's default CSR),Item Price Level,Reprice Item and Save Default Price (do not reprice if Item Price is locked),Ask me what to update,Tell me what changed after updating data,"},
    {44322, u"History to Quote:,Ship to Address,Ship Via,Buyer (ordered by),Location,Terms,Sales Tax,Sales Rep,Discount %,Set Shipping Charge to zero,Set Postage Charge to zero,CSR (assign this computer's default CSR),Item Price Level,Reprice Item and Save Default Price (do not reprice if Item Price is locked),Ask me what to update,Tell me what changed after updating data,"},
    {44323, u"Quote to Order:,Ship to Address,Ship Via,Buyer (ordered by),Location,Terms,Sales Tax,Sales Rep,Discount %,Set Shipping Charge to zero,Set Postage Charge to zero,CSR (assign this computer's default CSR),Item Price Level,Reprice Item and Save Default Price (do not reprice if Item Price is locked),Ask me what to update,Tell me what changed after updating data,"},
    {44324, u"Template to Quote/Order:,Ship to Address,Ship Via,Buyer (ordered by),Location,Terms,Sales Tax,Sales Rep,Discount %,Set Shipping Charge to zero,Set Postage Charge to zero,CSR (assign this computer's default CSR),Item Price Level,Reprice Item and Save Default Price (do not reprice if Item Price is locked),Ask me what to update,Tell me what changed after updating data,"},
    {44325, u"PellJob to Quote/Order:,Ship to Address,Ship Via,Buyer (ordered by),Location,Terms,Sales Tax,Sales Rep,Discount %,Set Shipping Charge to zero,Set Postage Charge to zero,CSR (assign this computer's default CSR),Item Price Level,Reprice Item and Save Default Price (do not reprice if Item Price is locked),Ask me what to update,Tell me what changed after updating data,"},
    {44331, u"After pasting an Item:,Clear Service Date,Assign Default Service Operator,Assign Default Service Tag,"},
    {44332, u"After creating a new Item:,Set Item status to In Production (uncheck to Schedule),"},
    {IDS_JOB_LISTS_ORDERS, u"Orders,All,In Progress,On Hold,Ready to Ship,Ready to Post,Received Today,Shipped Today,Late,Due Today,Due Tomorrow,Due This Week,Due Next Week,Discrepancies,"},
    {44151, u"Posting,Summary,Summary of Sales,Summary of Taxes,List of Invoices + QuickSales,List of Taxes,List of Payments,List of Credits Given/Applied,Changes to Earlier Invoices,Accounting,"},
    {44152, u"A/R,Summary,Payments Expected,Aging by Date Shipped,Aging by Date Payment Due,Date Paid vs Date Shipped,Date Paid vs Date Pay Due,Fully Paid Invoices Summary,"},
    {44153, u"Profitability,Sales Departments,Service Departments,Services,Products,Customers,Business Types,Customer Service Reps,Sales Reps,Sales By Month Posted,Sales By Month Paid,Write-ups By Day,Average Sales/Invoice,"},
    {44154, u"Comparison,Sales Departments,Service Departments,Services,Products,Customers,Business Types,Customer Service Reps,Sales Reps,Sales By Month Posted,Sales By Month Paid,Write-ups By Day,Customers By Year,"},
    {44155, u"Production,Orders,Orders Expected,Services To-Do,Services Done and Posted,Date In vs Date Shipped,"},
    {44156, u"At a Glance,Summary,Top Sales,"},
    {44157, u"Special Reports,Activities of My Company,Missing/Duplicate Jobs,Daily Register...,"},
    {44161, u"Orders+Sales by Date In,Daily,Weekly,Monthly,Quarterly,Yearly,"},
    {44162, u"Sales by Date Shipped,Daily,Weekly,Monthly,Quarterly,Yearly,"},
    {44163, u"Sales by Date Fully Paid,Daily,Weekly,Monthly,Quarterly,Yearly,"},
    {44164, u"Sales by Date Reorder,Daily,Weekly,Monthly,Quarterly,Yearly,"},
    {44165, u"Sales by,Sales Department,Service Category,Product Type,Business Type,Customer Source,Shipping Type,Location,Operator,CSR,Sales Rep,Tax Type,Department + Service,Category + Service,Customer + Category,Customer + Product,Press,"},
    {44166, u"Quick Sales,List,Detail,Summary by Dept,Summary by Tax,"},
    {44167, u"Posting Journal,Regular Sales,Quick Sales,Total Sales,All Fields,"},
    {44168, u"Audit Trail,Detail,Summary by Job,Summary by Day,Summary by Week,Summary by Month,Summary,"},
    {44169, u"Jobs Edited After Posting,Changes in any amount,Subtotal,Discount,Shipping,Postage,Tax,LateFee,Paid,Writeoff,Balance,Changes by Month,Posted vs Now,"},
    {44170, u"Commissions,Detail,Summary,Detail (paid invoices)...,Summary (paid invoices)...,"},
    {44140, u"Invoices Ready-to-Post,List,"},
    {44141, u"Invoices Unpaid,By Customer (Aging),By Invoice No,Past-Due Only,Summary by Age,Summary by Month Due,Total,"},
    {44142, u"Invoices Paid-in-Full,Today,This Week,This Month,This Year,Last Week,Last Month,Last Year,Other Date...,Summary by Day...,Summary by Week...,Summary by Month...,Summary by Year...,Average Days to Pay,"},
    {44143, u"Payments Expected,Any Date,This Week,This Month,Next Week,Next Month,Past-Due,Summary by Day,Summary by Week,Summary by Month,Summary by Year,"},
    {44144, u"Payments Received,Today,This Week,This Month,This Year,Last Week,Last Month,Last Year,Other Date...,Summary by Day...,Summary by Week...,Summary by Month...,Summary by Year...,Summary by Group...,"},
    {44145, u"Credits,Limits,Due,Details,"},
    {44146, u"Late Fee,Chargeable,Charged,"},
    {44147, u"Write Off,Likely,Written Off,"},
    {44148, u"Send,Statement,Past-Due Notice,"},
    {44121, u"Customers,All (any status),All (not hidden),Active,On Hold,Hidden,New Today,New This Week,New This Month,New This Year,"},
    {44122, u"Prospects,All (any status),All (not hidden),Active,On Hold,Hidden,New Today,New This Week,New This Month,New This Year,"},
    {44123, u"Customers + Prospects,All (any status),All (not hidden),Active,On Hold,Hidden,New Today,New This Week,New This Month,New This Year,Special Customers,"},
    {44124, u"Top Customers,10 This Month,10 This Year,10 Last Year,25 This Month,25 This Year,25 Last Year,100 This Month,100 This Year,100 Last Year,This Month,This Year,Last Year,Other...,"},
    {44125, u"Inactive Customers,More than a Year,More than 6 Months,More than 3 Months,More than 2 Months,More than a Month,"},
    {44126, u"Contacts,All (any status),All (not hidden),Active,On Hold,Hidden,Default Buyers,Default Payers,Contacts with Orders,Contacts without Orders,"},
    {44127, u"Shipping Addresses,All (any status),All (not hidden),Active,On Hold,Hidden,Of Regular Customers,Of Walk-in Customers,Addresses with Orders,Addresses without Orders,"},
    {44102, u"Quotes,All,Hot,Warm,Cool,Won,Lost,Received Today,Received This Week,Received This Month,Received Last Week,Received Last Month,Older Than 1 Month,Older Than 2 Month,Discrepancies,"},
    {44103, u"Templates,All,Offset Printing,Digital Printing,Web/Pell,Discrepancies,"},
    {44104, u"History,All,Shipped This Week,Shipped This Month,Shipped This Year,Shipped Last Week,Shipped Last Month,Shipped Last Year,Shipped Prev.Week,Shipped Prev.Month,Shipped Prev.Year,Expected This Week,Expected This Month,Expected This Year,Discrepancies,"},
    {44105, u"PellOrders,All,Not Reviewed,In Review,To be Approved,Ready To Convert,Converted,"},
    {44106, u"PellQuotes,All,Not Reviewed,In Review,To be Approved,Ready To Convert,Converted,"},
    {IDS_SETUP_GENERAL, u"General Settings,Shop Options,Passwords,Reminder Types,"},
    {44182, u"Printing,Document Options,Barcode Options,Favorite Posting Reports,"},
    {44183, u"Jobs,Job Options,Product Types,Shipping Methods,Data to Require,Data to Reset (after paste),How to Save Item Price,How to Round Item Price,"},
    {44184, u"Customers,Sources,Business Types,Contact Departments,Customer Properties,Contact Properties,"},
    {44185, u"Accounting,Sales Departments,Taxes,Terms,Payment Types,Credit Reasons,QuickBooks Accounts,"},
    {44186, u"Employees,Operators,Service Reps,Sales Reps,"},
    {IDS_SETUP_VENDORS, u"Vendors,Paper Vendors,Other Vendors,Buyout Vendors,"},
    {IDS_SETUP_TEXTS, u"Frequently Used Text,Job/Item Titles,Paper Run Sizes,Paper Finish Sizes,Paper Colors,Ink Colors,"},
    {IDS_HOME_ABOUT, u"About,Tavrel,My Database,My Company,"},
    {44192, u"Information on the Internet,Tavrel Website,Check for Updates,Support Hours,Pellory Website,Pellory Demo,"},
    // Documents of the print dialog, by view ("__" headings, "?" the list on the screen).
    {44110, u"?,__Orders,Weekly Schedule by Job Due Date,__Items,Progress Report by Job No,Progress Report by Job Due Date,__Services,Services-To-Do by Center,Services-To-Do by Operator,__Papers,List by Paper Vendor,List by Paper Type,List by Job Number,Summary by Paper Vendor,Summary by Paper Type,__Presses,Press and Paper,"},
    {44220, u"__For In-House: ,Work Order,__For Customer:,Invoice,Order Receipt,Delivery Ticket,Invoice,Invoice,Invoice,__List:,?,__Jobs:,Job Dates,Job Amounts,__Items:,Item Specs,Item Amounts,__Services:,Service Specs,Service Amounts,__Barcodes,Item Barcodes,__Shipping:,Ship by Job No,Ship by Via,"},
    {44221, u"__For In-House: ,Estimate,__For Customer:,Quote,Proposal,Estimate,Estimate,Estimate,Estimate,__List:,?,__Jobs:,Job Dates,Job Amounts,__Items:,Item Specs,Item Amounts,__Services:,Service Specs,Service Amounts,__Barcodes,Item Barcodes,"},
    {44225, u"?,Barcodes of Selected Customers,"},
    {44226, u"?,Aging Report,Invoice List,"},
    {44227, u"Statement,Past-Due Notice,Statement,Past-Due Notice,__List:,?,"},
    {44231, u"?,Posting Reports,"},
    {44240, u"?,"},
    {44241, u"?,--- with totals ---,"},
    // The printouts of a posting, in the order of their list parts (101-115).
    {44351, u"Favorite Reports to print after posting:,Posted Invoices,Posted Quick Sales,Payments,Payments by Group,Sales by Sales Department,Sales by Service Category,Sales by Product Type,Sales by Business Type,Sales by Customer Source,Sales by Shipping Type,Sales by Location,Sales by Operator,Sales by CSR,Sales by Sales Rep,Sales by Tax Type,"},
    // Document options: job tickets, customer documents of jobs, A/R documents.
    {45001, u"__Columns (check all that apply):,Estimated (Chargeable) Time,Estimated (Chargeable) Quantity,'________ ' (a line to write down 'Actuals' manually),Cost,Price,__Layout (check all that apply):,Column Headers and Lines,Vertical Job Number (for filing),Space between Service Categories,Space between Services,Page break between Items,__Highlights (check all that apply):,Items (gray background),Papers and Printers (gray background),Other Services (gray background),Notes (yellow background),Notes (bold font),__Other Options (check all that apply):,Print Service Barcode Page,Print 'This job (Item) was copied from…' info,Print 'End with # of good sheets (Run Size)' info,"},
    {45002, u"__Document Style (select one): ,Standard (job totals at bottom),Classic (job totals in price column),Letter Style,__Document Info (check all that apply):,Column Headers and Lines,Company Logo,Company Name,Company Address,Company Phone and Fax,Ship To Address,Ship By + Due Date & Time,Received by _________ Date ____,__Specs (select):,Job Title,+ Item Description,+ Item Description + Paper,+ Item Description + All Services,+ Item Description + All Services & Prices,__Prices (check all that apply):,Item Unit Price,Item Price,Job Totals (Subtotal + Disc + Tax...),__Other Options (check all that apply):,Item Notes,Service Notes,Ask 'Shipped today?',Job Memo,Sub-Items,#Originals (or #Sheets) after Item Description,"},
    {45041, u"__Document Style (select one): ,Standard (job totals at bottom),Classic (job totals in price column),Letter Style,__Document Info (check all that apply):,Column Headers and Lines,Company Logo,Company Name,Company Address,Company Phone and Fax,Document Title,Job Total + LateFee + Paid,Aging,"},
    {IDS_FORM_OPTIONS_SOUND, u"Bell Sound,"},
    {IDS_FORM_OPTIONS_LIST, u"Highlighted Rows Only,"},
    {IDS_TRIM_SIZES, u" ,1/128,1/64,1/32,1/16,1/8,3/16,1/4,5/16,3/8,7/16,1/2,9/16,5/8,11/16,3/4,13/16,7/8,15/16,1.0,1.5,2.0,"},
    {45104, u"Costs and Margins,"},
    // Date choices of the production lists (bits 1-64).
    {45105, u"Today,Tomorrow,Today and Tomorrow,Next 7 Days,Next 14 Days,Include Late Services,Group by Service Date,"},
    {48000, u"1152,700,4800,7390,7560,2150,2160,1151,1153,1490,"},
    // Command bar codes: group, command id, label, note.
    {48500, u"0,30202,Clear Barcode,Initializes the barcode process before and after working with multiple actions or objects.,"},
    {48501, u"1,30321,Print W.Order,Scan the barcode of a Job or Item first,"},
    {48502, u"1,30322,Print Invoice,,"},
    {48505, u"2,30133,Ready to Ship,Changes the status of the selected Order,"},
    {48506, u"2,30144,Shipped Today,Assigns today's date to the selected Order,"},
    {48507, u"3,30600,Create an Order,Scan the barcode of a Customer first,"},
    {48508, u"3,30601,Create a Quote,,"},
    {48509, u"4,30610,List Orders,Scan the barcode of a CSR or Customer first,"},
    {48510, u"4,30611,List Quotes,,"},
    {48511, u"4,30613,List History,,"},
    {48001, u",,,,,,,,,,,"},
    {48002, u",,,,,,,,,,,"},
    {IDS_APP_TITLE, u"Tavrel"},
};

const QHash<int, const char16_t *> &stringTable()
{
    static const QHash<int, const char16_t *> table = [] {
        QHash<int, const char16_t *> t;
        t.reserve(int(std::size(kStrings)));
        for (const StringEntry &e : kStrings)
            t.insert(e.id, e.text);
        return t;
    }();
    return table;
}

} // namespace

QString LoadResourceString(int id)
{
    const auto &table = stringTable();
    const auto it = table.constFind(id);
    if (it == table.constEnd())
        return QString();
    return QString::fromUtf16(it.value());
}
