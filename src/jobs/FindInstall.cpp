#include "jobs/FindInstall.h"

#include "estimating/CItemNew.h"
#include "jobs/CFindDlg.h"
#include "views/CDlgList.h"
#include "views/FindPrompt.h"

#include <QtCore/QHash>

void InstallFindDialogs()
{
    SetFindPrompt(&CFindDlg::Run);
    // The new-item window finds items of a job list: the list is the job type.
    CItemNew::SetFindHook([](CItemNew::FindRequest &wanted, QWidget *parent) {
        FindRequest request;
        request.kind = QStringLiteral("Items");
        request.listIndex = wanted.jobType;
        request.allowListChoice = !wanted.jobTypeFixed;
        request.fieldIndex = wanted.fieldChoice[0];
        request.operatorIndex = wanted.fieldChoice[1];
        if (CFindDlg::Run(request, parent) != IDOK_RESULT)
            return false;
        wanted.jobType = request.listIndex;
        wanted.fieldChoice[0] = request.fieldIndex;
        wanted.fieldChoice[1] = request.operatorIndex;
        wanted.where = request.filter;
        return true;
    });
    // The picker offers the choice of its last find again, per kind.
    CDlgList::SetFindRunner([](const QString &source, QString &findText, QString &filterText) {
        static QHash<QString, FindRequest> remembered;
        FindRequest request = remembered.value(source);
        request.kind = source;
        request.allowListChoice = false;
        if (CFindDlg::Run(request, nullptr) != IDOK_RESULT)
            return false;
        remembered.insert(source, request);
        findText = request.filter;
        filterText = request.filter;
        return true;
    });
}

void RemoveFindDialogs()
{
    SetFindPrompt(nullptr);
    CDlgList::SetFindRunner(nullptr);
    CItemNew::SetFindHook(nullptr);
}
