#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"

#include "pluginmanager/PluginManager.h"
#include "quorbase/ValueClass.h"

#include <string>

namespace TeskVideoSearch {

// No operation reads it; it keeps the class in the shape of the other records.
#define TESK_FIELDS_VideoSearchCommonPortData(F) F(int, reserved, 0)
TESK_VALUE_CLASS(, CVideoSearchCommonPortBase, VideoSearchCommonPortData,
                 TESK_FIELDS_VideoSearchCommonPortData)

// Answers about the client's settings: camera names, the presentation chosen per kind and the
// client's time settings. Stateless; callable from any thread.
class TESKVIDEOSEARCH_EXPORT CVideoSearchCommonPort : public CVideoSearchCommonPortBase
{
public:
    using CVideoSearchCommonPortBase::CVideoSearchCommonPortBase;

    // The camera as the plug-in manager lists it; an empty record when it is not listed.
    static OrlPluginManager::Camera GetCameraInfo(const std::string &site_id,
                                                  const std::string &camera_id);

    // Thumbnails (0) or list (1) for a kind; 0 for kinds above 6 and stored values other
    // than 0 and 1.
    static SearchResultShowType GetSearchResultShowType(const VideoDataType &type);
    // Stores the presentation of kinds 0 to 6; other kinds store nothing.
    static void SetSearchResultShowType(const VideoDataType &type,
                                        const SearchResultShowType &show_type);

    static OrlSearchTimeType::TimeType GetTimeZoneType();
    static bool IsShowTimeDifference();
};

} // namespace TeskVideoSearch
