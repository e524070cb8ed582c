#include "platform/db/TableDef.h"

namespace platform {

int TableDef::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const FieldDef *TableDef::field(const QString &name) const &
{
    const int i = fieldIndex(name);
    return i < 0 ? nullptr : &fields[i];
}

} // namespace platform
