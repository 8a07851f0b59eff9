#include "ui/extent_list.h"
#include "ui/form1.h"

// The lists follow their widest entries as they fill; measuring every entry
// again here also settles any entry whose text changed in place.
void Form1::subFitListWidth()
{
    for (ExtentListWidget *list : {List1, lsLMO})
        list->fitExtentToEntries();
}
