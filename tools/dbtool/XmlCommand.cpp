#include "XmlCommand.h"
#include "ToolArgs.h"

#include "data/SharedDatabase.h"
#include "exchange/export/CExport.h"
#include "exchange/weborders/XmlOrders.h"
#include "exchange/xml/XmlDocument.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QObject>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>

namespace {

const char kUsage[] =
    "usage: tavrel-dbtool xml ...\n"
    "  xml DB jobs TEMPLATE JOBNO...        (TEMPLATE a file of XML/jobtemplates)\n"
    "  xml DB list TEMPLATE NAME HEADING    (TEMPLATE a file of XML/othertemplates)\n"
    "  xml FILE --load\n"
    "  xml FILE --order\n";

// Files the export would open with the desktop's viewer are named instead.
class OpenedFiles : public QObject
{
    Q_OBJECT
public:
    explicit OpenedFiles(QTextStream &err) : m_err(err) {}
public slots:
    void open(const QUrl &url) { m_err << "OPEN: " << url.toLocalFile() << '\n'; }

private:
    QTextStream &m_err;
};

// The JobID of a job number: an order first, then the other job types.
qint32 jobIdOf(qint32 jobNo)
{
    platform::Recordset set(SharedDatabase());
    set.open(platform::Recordset::Type::Snapshot,
             QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = %1 ORDER BY JobType").arg(jobNo));
    return set.isEOF() ? 0 : qint32(set.value(0).toInt());
}

int exportCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString kind = args[1];
    SharedDatabase().open(args[0]);
    SetDataFolder(QFileInfo(args[0]).absolutePath() + QDir::separator());
    OpenedFiles opened(err);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    // Every question is answered Yes, but the offer to open the document.
    platform::TestResponder responder;
    CExport exporter;
    if (kind == QLatin1String("jobs") && args.size() >= 4) {
        responder.answerFile(CExport::XmlJobTemplateFolder() + args[2]);
        QList<qint32> ids;
        for (int i = 3; i < args.size(); ++i) {
            const qint32 id = jobIdOf(args[i].toInt());
            if (id == 0) {
                err << "No job number " << args[i] << '\n';
                return 1;
            }
            ids.append(id);
        }
        for (int i = 0; i < 3; ++i)
            responder.answer(ids.size() > 100 && i == 0 ? platform::IDYES : platform::IDNO);
        if (ids.size() == 1)
            exporter.ExportJobsXml(nullptr, ids.first());
        else
            exporter.ExportJobIdsXml(ids);
    } else if (kind == QLatin1String("list") && args.size() == 5) {
        responder.answerFile(CExport::XmlOtherTemplateFolder() + args[2]);
        responder.answer(platform::IDNO);
        exporter.ExportListXml(QFileInfo(args[2]).completeBaseName(), args[3], args[4]);
    } else {
        err << kUsage;
        return 2;
    }
    PrintPrompts(responder, err);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    // Nothing found: the document at the name stays, as in the program.
    if (exporter.NothingExported()) {
        err << "No data is exported: " << exporter.outputFile.fileName() << " is left as it was.\n";
        return 0;
    }
    if (exporter.m_strXmlPath.isEmpty())
        return 1;
    out << exporter.m_strXmlPath << '\n';
    return 0;
}

int readCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    platform::TestResponder responder;
    for (int i = 0; i < 4; ++i)
        responder.answer(platform::IDOK);
    XmlDocument document;
    const bool loaded = document.Load(args[0]);
    PrintPrompts(responder, err);
    if (!loaded) {
        err << "The file could not be loaded.\n";
        return 1;
    }
    if (args[1] == QLatin1String("--load")) {
        out << "Loaded " << args[0] << '\n';
        return 0;
    }
    for (const XmlOrderItem &item : ReadXmlOrderItems(document, XmlOrderKeys()))
        out << item.description << '\t' << item.quantity << '\t' << item.unitPrice << '\t' << item.jobItem << '\t'
            << item.link << '\n';
    return 0;
}

} // namespace

int runXmlCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    try {
        if (args.size() == 2 && (args[1] == QLatin1String("--load") || args[1] == QLatin1String("--order")))
            return readCommand(args, out, err);
        if (args.size() >= 4)
            return exportCommand(args, out, err);
    } catch (const platform::DbException &e) {
        err << e.what() << '\n';
        return 1;
    } catch (const platform::UnansweredPrompt &e) {
        err << "Unanswered: " << e.what() << '\n';
        return 1;
    }
    err << kUsage;
    return 2;
}

#include "XmlCommand.moc"
