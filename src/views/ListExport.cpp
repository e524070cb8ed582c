#include "views/ListExport.h"

ListExporter &listExporter()
{
    static ListExporter exporter;
    return exporter;
}

ListXmlExporter &listXmlExporter()
{
    static ListXmlExporter exporter;
    return exporter;
}

ListEmailer &listEmailer()
{
    static ListEmailer emailer;
    return emailer;
}
