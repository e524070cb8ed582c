#include "catalogue/CatalogueInstall.h"

#include "app/base/CZqApp.h"
#include "catalogue/COrganize.h"
#include "catalogue/CSerDlg.h"
#include "catalogue/CSerDlgMore.h"
#include "catalogue/CEditInventory.h"
#include "catalogue/CSerDiffTable.h"
#include "catalogue/CSerPriceTable.h"
#include "data/CSerSet.h"

#include <QtWidgets/QApplication>

void OpenServiceRecord(long serNo, bool more)
{
    if (serNo <= 0)
        return;
    CSerSet service;
    if (!service.FindBySerNo(qint32(serNo)) || service.IsEmptySet())
        return;
    QWidget *owner = QApplication::activeWindow();
    if (more) {
        // Opened alone, the more dialog has no save of its own.
        CSerDlgMore dialog(service, owner);
        dialog.m_nMode = 1;
        dialog.DoModal();
        return;
    }
    CSerDlg dialog(service, nullptr, owner);
    dialog.DoModal();
    if (service.IsOpen() && service.GetEditMode() != CXDaoSet::dbEditNone) {
        try {
            service.CancelUpdate();
        } catch (const platform::DbException &) {
        }
    }
}

void InstallCatalogue(CZqApp &app)
{
    app.setServiceOpener([](long serNo, int, bool more) { OpenServiceRecord(serNo, more); });
    CSerDlg::SetPriceTableHook([](CSerDlg &owner) {
        const CSerSet &service = owner.record();
        CSerPriceTable table(service.m_SerNo, 0, &owner);
        table.m_strWindowTitle = QStringLiteral("Service: ") + service.m_Name;
        table.m_nQtyBy = service.m_QtyBy;
        table.m_nCatNo = service.m_CatNo;
        table.m_nMode = owner.isEditable() ? 0 : 1;
        table.DoModal();
    });
    // Finishing a tracked paper confirms the quantity used.
    CEditInventory::Install();
    CSerDlg::SetDiffTableHook([](CSerDlg &owner) {
        CSerDiffTable table(owner.record(), &owner);
        table.DoModal();
    });
}

void RunOrganizerAfterUpgrade(CZqApp &app)
{
    COrganize organizer(nullptr);
    organizer.m_bSaveAtOnce = true;
    organizer.DoModal();
    app.LoadServiceDepartments();
    app.LoadServiceCategories();
}
