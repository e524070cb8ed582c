#include "shell/AppDialogs.h"

#include "app/base/Choices.h"
#include "platform/Prompt.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CDlgTree.h"

int RunChoicesDialog(CZqApp::ChoiceDialog &choices, QWidget *parent)
{
    CDlgOptions dialog(choices.ribbonTitle, choices.stripText, choices.mode, parent);
    for (const CZqApp::ChoiceGroup &group : choices.groups) {
        if (group.radio)
            dialog.AddRadioGroup(group.heading, group.groupValue);
        else
            dialog.AddCheckGroup(group.heading, group.groupValue);
        for (const CZqApp::ChoiceEntry &entry : group.entries)
            dialog.AddEntry(entry.code, entry.text, entry.checked ? 1 : 0);
    }
    dialog.m_nSelect = {choices.selectCode, 0, 0};
    const int result = dialog.DoModal();
    if (result == platform::IDOK) {
        for (CZqApp::ChoiceGroup &group : choices.groups)
            for (CZqApp::ChoiceEntry &entry : group.entries)
                entry.checked = dialog.IsEntryChecked(entry.code);
    }
    return result;
}

void InstallAppDialogs(CZqApp &app, std::function<QWidget *()> owner)
{
    app.setDataEntryDialog([owner](QString &value, int dataKind, const QString &windowTitle,
                                   const QString &ribbonTitle, const QString &stripText) {
        CDlgData dialog(value, dataKind, windowTitle, ribbonTitle, stripText, owner());
        const int result = dialog.DoModal();
        if (result == platform::IDOK)
            value = dialog.m_strValue;
        return result;
    });
    CZqApp::ChoiceDialogRunner choices = [owner](CZqApp::ChoiceDialog &dialog) {
        return RunChoicesDialog(dialog, owner());
    };
    app.setChoiceDialog(choices);
    SetChoiceRunner(choices);
    app.setTreePicker([owner](quint8 kind, int &code) {
        CDlgTree dialog(kind, code, owner());
        const int result = dialog.DoModal();
        if (result == platform::IDOK)
            code = int(dialog.m_nChosen);
        return result;
    });
}

void RemoveAppDialogs(CZqApp &app)
{
    app.setDataEntryDialog(nullptr);
    app.setChoiceDialog(nullptr);
    app.setTreePicker(nullptr);
    SetChoiceRunner(nullptr);
}
