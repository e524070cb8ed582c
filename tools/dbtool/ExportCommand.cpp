#include "ExportCommand.h"

#include "data/SharedDatabase.h"
#include "exchange/export/CExport.h"
#include "platform/db/DbException.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace {

const char kUsage[] =
    "usage: tavrel-dbtool export DB KIND ... FILE\n"
    "  invoice-csv POSTING [--accounts A,B,C] FILE\n"
    "  iif-sales POSTING FILE\n"
    "  iif-invoices POSTING FILE\n"
    "  iif-customers \"LIST SQL\" FILE\n"
    "  address-list CHOICE KEY... FILE\n"
    "  shipping-labels ITEMID:DESC:SHIPPED:PERBOX:BOXES:SHIPTO ... FOLDER\n"
    "  rtf JOBID TEMPLATE FILE\n";

bool finish(CExport &exporter, int written, QTextStream &out, QTextStream &err)
{
    // Nothing exported: the name keeps what it held, as in the program.
    const QString name = exporter.outputFile.fileName();
    if (!exporter.FinishOutput(written)) {
        if (!exporter.NothingExported()) {
            err << "Cannot write: " << name << ": " << exporter.WriteError() << '\n';
            return false;
        }
        err << "No data is exported: " << name << " is left as it was.\n";
    }
    out << written << '\n';
    return true;
}

} // namespace

int runExportCommand(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    QString accounts = QStringLiteral("40000,11000,23100");
    if (const int at = args.indexOf(QStringLiteral("--accounts")); at >= 0 && at + 1 < args.size()) {
        accounts = args[at + 1];
        args.remove(at, 2);
    }
    if (args.size() < 4) {
        err << kUsage;
        return 2;
    }
    const QString kind = args[1];
    const QString file = args.last();
    const QStringList middle = args.mid(2, args.size() - 3);
    try {
        SharedDatabase().open(args[0]);
        CExport exporter;
        if (kind == QLatin1String("rtf")) {
            if (middle.size() != 2) {
                err << kUsage;
                return 2;
            }
            exporter.m_strDocument = file;
            if (!exporter.FillRtfTemplate(middle[0].toInt(), middle[1])) {
                if (exporter.NothingExported()) {
                    err << "No data is exported: " << file << " is left as it was.\n";
                    out << "0\n";
                    return 0;
                }
                err << "The document is not written.\n";
                return 1;
            }
            out << file << '\n';
            return 0;
        }
        if (kind == QLatin1String("shipping-labels")) {
            QList<CExport::Shipment> shipments;
            for (const QString &shipment : middle) {
                const QStringList p = shipment.split(QLatin1Char(':'));
                if (p.size() != 6) {
                    err << "A shipment is ITEMID:DESC:SHIPPED:PERBOX:BOXES:SHIPTO\n";
                    return 2;
                }
                shipments.append(CExport::Shipment{p[0].toInt(), p[1], p[2], p[3], p[4], p[5]});
            }
            if (!exporter.OpenOutput(QDir(file).filePath(QStringLiteral("Shipping Label.txt")))) {
                err << "Cannot create: " << exporter.outputFile.fileName() << ": " << exporter.WriteError() << '\n';
                return 1;
            }
            return finish(exporter, exporter.WriteShippingLabels(shipments), out, err) ? 0 : 1;
        }
        if (!exporter.OpenOutput(file)) {
            err << "Cannot create: " << file << ": " << exporter.WriteError() << '\n';
            return 1;
        }
        int written = 0;
        if (kind == QLatin1String("invoice-csv") && middle.size() == 1) {
            exporter.separator = ',';
            exporter.WritePeachtreeHeader();
            written = exporter.WritePeachtreePosting(middle[0].toInt(), accounts);
        } else if (kind == QLatin1String("iif-sales") && middle.size() == 1) {
            exporter.WriteIifSalesHeader();
            written = exporter.WriteIifSalesJournal(middle[0].toInt());
        } else if (kind == QLatin1String("iif-invoices") && middle.size() == 1) {
            exporter.WriteIifInvoiceHeader();
            written = exporter.WriteIifInvoices(middle[0].toInt());
        } else if (kind == QLatin1String("iif-customers") && middle.size() == 1) {
            exporter.listSql = middle[0];
            written = exporter.ExportQuickBooksCustomers();
        } else if (kind == QLatin1String("address-list") && middle.size() >= 2) {
            for (int i = 1; i < middle.size(); ++i)
                exporter.rows.append(CExport::Row{middle[i], middle[i].toLongLong()});
            written = exporter.WriteAddressList(middle[0].toInt(), true, false);
        } else {
            err << kUsage;
            return 2;
        }
        return finish(exporter, written, out, err) ? 0 : 1;
    } catch (const platform::DbException &e) {
        err << e.what() << '\n';
        return 1;
    }
}
