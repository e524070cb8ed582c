#include "views/ListExport.h"

ListExporter &listExporter()
{
    static ListExporter exporter;
    return exporter;
}
