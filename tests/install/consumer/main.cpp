#include "search/SearchRecords.h"
#include "search/VideoSearchCommonPort.h"
int main()
{
    TeskVideoSearch::CVideoFileParam p;
    TeskVideoSearch::RegisterSearchMetaTypes();
    return p.GetVal_data_type() == TeskVideoSearch::TagVideo ? 0 : 1;
}
