#include "jobs/FindInstall.h"

#include "jobs/CFindDlg.h"
#include "views/CDlgList.h"
#include "views/FindPrompt.h"

#include <QtCore/QHash>

void InstallFindDialogs()
{
    SetFindPrompt(&CFindDlg::Run);
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
}
