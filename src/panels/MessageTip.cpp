#include "panels/MessageTip.h"

#include "lattice/NewInfoDlg.h"
#include "mirelog/Log.h"

namespace TeskVideoSearch {

namespace {

// Message tips: `CMessageTipManager::ShowMessage(parent, text, 2, 1, 15)` once the UI data
// controller offers it; the corner notification stands in until then.
void DefaultMessageTip(QWidget *parent, const QString &text)
{
    TESK_LOG_INFO("message tip: %s", text.toUtf8().constData());
    auto data = std::make_shared<Lattice::CStruInfoTipsData>();
    data->pParent = parent;
    data->strText = text;
    data->normal_text_type = Lattice::CStruInfoTipsData::TextWarning;
    Lattice::CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(data);
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
