#include "data/OneValueOverNow.h"

#include "data/CXDaoSet.h"
#include "platform/Prompt.h"

#include <utility>

OneValueOverNow::OneValueOverNow(QString label, InWrite inWrite)
    : m_label(std::move(label)), m_inWrite(std::move(inWrite))
{
}

bool OneValueOverNow::ask(const QString &theirs, const QString &mine, bool &keepMine) const
{
    const int answer = CXDaoSet::AskAboutBothChanged({CXDaoSet::BothChangedLine(m_label, theirs, mine)});
    if (answer != platform::IDYES && answer != platform::IDNO)
        return false;
    keepMine = answer == platform::IDYES;
    return true;
}
