#include "search/SearchRecords.h"
#include "search/VideoSearchCommonPort.h"
int main()
{
    // The installed headers give a host the 64-bit integer names it writes signatures with.
    unsigned __int64 size = sizeof(__int64);
    TeskVideoSearch::CVideoFileParam p;
    TeskVideoSearch::RegisterSearchMetaTypes();
    return p.GetVal_data_type() == TeskVideoSearch::TagVideo && size == 8 ? 0 : 1;
}
