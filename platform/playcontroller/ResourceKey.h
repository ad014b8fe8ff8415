#pragma once

#include "quorbase/ValueClass.h"

#include <QMetaType>

#include <string>

namespace teskplaycontroller {

#define TESK_FIELDS_ResourceKey(F)                                                                 \
    F(std::string, resource_id, {})                                                                \
    F(std::string, site_id, {})                                                                    \
    F(int, resource_type, 0)
TESK_VALUE_CLASS(, CResourceKey, ResourceKey, TESK_FIELDS_ResourceKey)

// Two keys name the same camera when all three parts agree.
inline bool IsSameKey(const ResourceKey &a, const ResourceKey &b)
{
    return a.resource_id == b.resource_id && a.site_id == b.site_id &&
           a.resource_type == b.resource_type;
}

inline bool IsSameKey(const CResourceKey &a, const CResourceKey &b)
{
    return IsSameKey(a.GetData(), b.GetData());
}

// The order of cameras whose files begin at the same second: site, then resource, then type.
inline bool KeyLess(const ResourceKey &a, const ResourceKey &b)
{
    if (a.site_id != b.site_id)
        return a.site_id < b.site_id;
    if (a.resource_id != b.resource_id)
        return a.resource_id < b.resource_id;
    return a.resource_type < b.resource_type;
}

} // namespace teskplaycontroller

Q_DECLARE_METATYPE(teskplaycontroller::CResourceKey)
