#include "exchange/export/CExport.h"

#include "app/base/FileChoice.h"
#include "app/base/ShellFiles.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"

#include <QtCore/QDir>
#include <QtCore/QUrl>

// Any list as XML: the records of the query that the chosen template
// carries, for the template's own stylesheet.

QString CExport::XmlOtherTemplateFolder()
{
    return DataFolder() + QStringLiteral("XML") + QDir::separator() + QStringLiteral("othertemplates") +
           QDir::separator();
}

QString CExport::XmlOtherFileFolder()
{
    return DataFolder() + QStringLiteral("XML") + QDir::separator() + QStringLiteral("otherfiles") +
           QDir::separator();
}

bool CExport::ChooseXmlTemplate(const QString &prefix)
{
    QDir().mkpath(m_strTemplateFolder);
    QString folder = m_strTemplateFolder;
    QString name = prefix;
    const QString pattern = prefix + QStringLiteral("*.xslt");
    if (!ChooseFile(true, folder, name, QStringLiteral("xslt"),
                    QStringLiteral("Templates (") + pattern + QStringLiteral(")|") + pattern + QStringLiteral("||"),
                    QStringLiteral("Select a template"), OFN_HIDEREADONLY))
        return false;
    m_strTemplateFolder = folder;
    m_strTemplateName = name;
    return true;
}

void CExport::ExportListXml(const QString &prefix, const QString &name, const QString &heading)
{
    m_strTemplateFolder = XmlOtherTemplateFolder();
    m_strTemplateName = prefix;
    if (!ChooseXmlTemplate(prefix))
        return;

    QString date;
    if (name.endsWith(QLatin1Char(' ')))
        date = platform::Clock::today().toString(QStringLiteral("MM/dd/yyyy")).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString templatePath = m_strTemplateFolder + m_strTemplateName;
    const QString outFolder = XmlOtherFileFolder();
    QDir().mkpath(outFolder);
    const QString path = outFolder + name + date + QStringLiteral(".xml");
    if (!OpenOutput(path)) {
        platform::Prompt::messageBox(QStringLiteral("Cannot create: ") + path + QStringLiteral("\n\n") + WriteError(),
                                     QString(), platform::MB_ICONHAND);
        return;
    }
    // The document names its template by a full file address, which a
    // browser follows only in URL form.
    WriteXmlHeader(QStringLiteral("Records"), QUrl::fromLocalFile(templatePath).toString(), QString(), heading,
                   QStringLiteral("UTF-8"));
    const int count = WriteXmlQueryRecords(ReadTemplateQuery(templatePath), QStringLiteral("Record"), 0);
    WriteXmlFooter(QStringLiteral("Records"), QString(), count);
    // A query that failed or found nothing (a template without one) leaves
    // the document at the name as it was.
    if (!FinishOutput(count)) {
        if (WriteFailed())
            ReportWriteFailure();
        else
            platform::Prompt::messageBox(QStringLiteral("No data is exported!"));
        return;
    }
    m_strXmlPath = path;
    if (platform::Prompt::messageBox(QStringLiteral("Exported to ") + path + QStringLiteral(".\n\nDo you want to open it?"),
                                     QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
        ShellExecuteFile(QStringLiteral("open"), path, QString(), QString());
}
