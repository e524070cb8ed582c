#include "jobs/JobCompareChain.h"

#include "app/base/CZqApp.h"
#include "data/CJobSet.h"
#include "data/JobTypes.h"

#include <QtCore/QSet>

namespace {

QString typeName(int type)
{
    QString name;
    GetJobTypeName(name, type);
    return name;
}

} // namespace

QList<CompareNode> JobSourceChain(qint32 jobId, bool &found)
{
    QList<CompareNode> nodes;
    CJobSet job;
    found = jobId != 0 && job.FindById(jobId) && !job.IsEmptySet();
    if (!found)
        return nodes;
    QSet<qint32> shown{jobId};
    quint8 fromType = job.m_FromJobType;
    qint32 fromNo = job.m_FromJobNo;
    while (fromNo != 0) {
        CJobSet source;
        // An order may have been posted since: it is then a history job.
        source.m_strFilter = fromType == 0
            ? QStringLiteral("(JobType = %1 or JobType = %2) and JobNo = %3").arg(0).arg(3).arg(fromNo)
            : QStringLiteral("JobType = %1 and JobNo = %2").arg(fromType).arg(fromNo);
        if (!source.RequeryOrOpen(false) || source.IsEmptySet())
            break; // the source was deleted
        if (shown.contains(source.m_JobID) && source.m_JobID != jobId)
            break; // the chain came back to a job already shown
        shown.insert(source.m_JobID);
        nodes.append({QStringLiteral("%1 %2: %3").arg(typeName(source.m_JobType)).arg(source.m_JobNo).arg(source.m_Title),
                      source.m_JobID});
        // A job that names itself as its source (or a chain that comes back
        // to the compared job) is shown once, as its own source.
        if (source.m_JobID == jobId || (source.m_JobNo == source.m_FromJobNo && source.m_JobType == source.m_FromJobType))
            break;
        fromType = source.m_FromJobType;
        fromNo = source.m_FromJobNo;
    }
    return nodes;
}

QList<CompareNode> ItemSourceChain(qint32 key)
{
    QList<CompareNode> nodes;
    CZqApp *app = ZqApp();
    if (!app || key >= 0 || key == kNoHistory)
        return nodes;
    QSet<qint32> shown;
    qint32 reference = key;
    while (reference < 0) {
        if (shown.contains(reference))
            break; // an item already shown: the references loop
        shown.insert(reference);
        quint8 type = 0, itemNo = 0;
        qint32 jobNo = 0, up = 0;
        QString description;
        const qint32 jobId = app->GetItemJobInfo(reference, type, jobNo, itemNo, up, description);
        if (jobId == 0)
            break;
        nodes.append({QStringLiteral("%1 %2 - Item %3: %4").arg(typeName(type)).arg(jobNo).arg(itemNo).arg(description),
                      jobId});
        reference = up;
        if (reference == -key)
            break;
    }
    return nodes;
}

QString CompareRootText(bool items, int nodes, bool walked)
{
    QString text = QStringLiteral("The job you've selected was ");
    if (nodes == 0)
        text += (walked ? QStringLiteral("copied from a deleted job") : QStringLiteral("created from scratch")) +
            QStringLiteral(". Therefore, you may not compare it to another job but itself with default pricing.");
    else
        text += QStringLiteral("copied from the following job(s). To compare 'Saved vs Default' prices of this job, "
                               "click here.");
    if (items)
        text.replace(QStringLiteral("job"), QStringLiteral("Item"));
    return text;
}

int CompareNodeItemNo(const QString &text)
{
    const qsizetype at = text.indexOf(QStringLiteral(" - Item "));
    if (at <= 7)
        return 0;
    const qsizetype colon = text.indexOf(QLatin1Char(':'), at);
    if (colon < 0)
        return 0;
    return text.mid(at + 8, colon - at - 8).toInt();
}
