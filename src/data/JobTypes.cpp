#include "data/JobTypes.h"

#include "data/DatabaseHelpers.h"
#include "platform/Value.h"

namespace {

struct JobTypeInfo
{
    const char *name;
    int image;
    int hue;
};

const JobTypeInfo kJobTypes[] = {
    {"Order", 0, 120},
    {"Quote", 6, 210},
    {"Template", 5, 270},
    {"History", 2, 360},
    {"PellOrder", 0, 120},
    {"PellQuote", 6, 210},
};

const JobTypeInfo kUnknownType = {"", 0, 120};

const JobTypeInfo &info(int type)
{
    return type >= 0 && type < int(std::size(kJobTypes)) ? kJobTypes[type] : kUnknownType;
}

} // namespace

void GetJobTypeName(QString &out, int type)
{
    out = QString::fromLatin1(info(type).name);
}

int GetJobTypeImage(int type)
{
    return info(type).image;
}

int GetJobTypeImageAlt(int type)
{
    return GetJobTypeImage(type) + 24;
}

int GetJobTypeHue(int type)
{
    return info(type).hue;
}

quint8 GetJobType(qint32 jobId)
{
    platform::Value value;
    // Bound: every job's look-up reuses one prepared statement.
    DbLookupValue(value, QStringLiteral("SELECT JobType FROM Jobs WHERE JobID = ?"), 0, {platform::Value(jobId)});
    return quint8(value.toInt64() & 0xFF);
}

int GetCategoryKind(qint32 catNo)
{
    if (catNo >= 101 && catNo <= 199)
        return 2;
    if (catNo >= 201 && catNo <= 299)
        return 0;
    return 1;
}
