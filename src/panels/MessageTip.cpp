#include "panels/MessageTip.h"

#include "mirelog/Log.h"
#include "plexacontrol/UiSingleton.h"
#include "uidatacontroller/MessageTipManager.h"

namespace TeskVideoSearch {

namespace {

// The host's message tips: an information tip that fades after a few seconds.
void DefaultMessageTip(QWidget *parent, const QString &text)
{
    TESK_LOG_INFO("message tip: %s", text.toUtf8().constData());
    PlexaControl::CUiSingleton<tesk_ui_data_controller::CMessageTipManager>::Instance().ShowMessage(
        parent, text, tesk_ui_data_controller::CMessageTip::AlertInformation, 1, 15);
}

MessageTipHandler &Handler()
{
    static MessageTipHandler handler = DefaultMessageTip;
    return handler;
}

} // namespace

void ShowMessageTip(QWidget *parent, const QString &text)
{
    Handler()(parent, text);
}

MessageTipHandler SetMessageTipHandler(MessageTipHandler handler)
{
    MessageTipHandler previous = Handler();
    Handler() = handler ? std::move(handler) : MessageTipHandler(DefaultMessageTip);
    return previous;
}

} // namespace TeskVideoSearch
