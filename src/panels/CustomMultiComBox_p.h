#pragma once

namespace TeskVideoSearch {

struct CustomMultiComBoxData
{
    bool is_checked_changed_ = false;
};

} // namespace TeskVideoSearch
