#include "ui/form1.h"
#include "ui/line_list_view.h"

// The lists follow their widest lines as they fill; measuring them again
// here also announces the lines appended since the window last ran events.
void Form1::subFitListWidth()
{
    for (LineListView *list : {List1, lsLMO})
        list->fitExtentToEntries();
}
