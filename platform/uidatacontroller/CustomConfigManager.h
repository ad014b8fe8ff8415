#pragma once

namespace tesk_ui_data_controller {

// The client's edition flags. The domestic edition downloads exported recordings through the
// host's record download; the others let the host export them itself.
class __attribute__((visibility("default"))) CCustomConfigManager
{
public:
    static bool IsDomestic();
    // Set by the host once, at start-up.
    static void SetDomestic(bool is_domestic);
};

} // namespace tesk_ui_data_controller
