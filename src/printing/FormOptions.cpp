#include "printing/FormOptions.h"

#include "controls/CXTreeOptCtrl.h"

bool FormOptionRadioGroup(int formNo, int option, int &first, int &last)
{
    const bool jobForm = formNo >= 1 && formNo <= 39 && formNo % 10 != 1;
    const bool arForm = formNo >= 41 && formNo <= 49;
    if ((jobForm || arForm) && option >= 1 && option <= 3) {
        first = 1;
        last = 3;
        return true;
    }
    if (jobForm && option >= 13 && option <= 16) {
        first = 13;
        last = 16;
        return true;
    }
    return false;
}

void ClearFormOptionGroup(CXTreeOptCtrl &tree, int formNo, int option, bool on)
{
    int first = 0;
    int last = 0;
    if (!on || !FormOptionRadioGroup(formNo, option, first, last))
        return;
    for (int other = first; other <= last; ++other)
        if (other != option)
            tree.SetOptionChecked(unsigned(other), false);
}

void CheckFormOption(CXTreeOptCtrl &tree, int formNo, int option, bool on)
{
    if (!tree.FindOption(unsigned(option)))
        return;
    tree.SetOptionChecked(unsigned(option), on);
    ClearFormOptionGroup(tree, formNo, option, on);
}
