#include "PlayWndMessager.h"

#include "configuration/Configuration.h"
#include "lattice/NewInfoDlg.h"
#include "mirelog/Log.h"
#include "plexacontrol/UiSingleton.h"
#include "uidatacontroller/InformationMgr.h"

#include <QDateTime>
#include <QLabel>
#include <QStyle>
#include <QWidget>

namespace TeskVideoSearch {

namespace {

// File types of the picture tips the window sends; others are not shown.
constexpr int kFileTypeText = 0;
constexpr int kPictureFileTypes[] = {1, 2, 4};

QPointer<QWidget> main_widget;
QPointer<QLabel> message_box;

QLabel *NewMessageBox(QWidget *on)
{
    auto *box = new QLabel(on);
    box->setObjectName("ptr_play_wnd_message_state_3");
    box->setAlignment(Qt::AlignCenter);
    box->setStyleSheet("QLabel { color: white; background: rgba(20,22,26,220); padding: 6px 14px; "
                       "border-radius: 4px; }");
    box->hide();
    return box;
}

} // namespace

CPlayWndMessager::CPlayWndMessager(QObject *parent)
    : QObject(parent)
{}

CPlayWndMessager::~CPlayWndMessager() = default;

void CPlayWndMessager::SetMainWidget(QWidget *widget)
{
    if (main_widget == widget)
        return;
    main_widget = widget;
    if (message_box)
        message_box->deleteLater();
    message_box = widget ? NewMessageBox(widget) : nullptr;
}

QWidget *CPlayWndMessager::GetMainWidget()
{
    return main_widget;
}

QLabel *CPlayWndMessager::GetMessageBox()
{
    return message_box;
}

int CPlayWndMessager::StateOfMessageType(int message_type)
{
    switch (message_type) {
    case 0:
        return 3;
    case 1:
        return 2;
    case 2:
        return 1;
    case 3:
        return 0;
    default:
        return 3;
    }
}

void CPlayWndMessager::ShowMessage(const teskplaywindow::CMessageInfo &info,
                                   const QMap<QString, QVariant> &extra)
{
    if (!main_widget) {
        auto *owner = qobject_cast<QWidget *>(parent());
        SetMainWidget(owner ? owner->window() : nullptr);
    }
    if (info.GetVal_file_type() != kFileTypeText) {
        for (const int type : kPictureFileTypes) {
            if (type == info.GetVal_file_type())
                ShowPictureMessageTip(info, extra);
        }
        return;
    }
    if (!main_widget) {
        TESK_LOG_ERROR("No widget to show the message \"%s\" on",
                       qPrintable(info.GetVal_message()));
        return;
    }
    if (!message_box)
        message_box = NewMessageBox(main_widget);
    // The style sheet keys on the state in the object name.
    message_box->setObjectName(QString("ptr_play_wnd_message_state_%1")
                                   .arg(StateOfMessageType(info.GetVal_message_type())));
    message_box->style()->unpolish(message_box);
    message_box->style()->polish(message_box);
    message_box->setText(info.GetVal_message());
    message_box->adjustSize();
    message_box->move((main_widget->width() - message_box->width()) / 2, kMessageTop);
    message_box->raise();
    message_box->show();
}

void CPlayWndMessager::ShowPictureMessageTip(const teskplaywindow::CMessageInfo &info,
                                             const QMap<QString, QVariant> &extra)
{
    auto data = std::make_shared<Lattice::CStruInfoTipsData>();
    data->pParent = main_widget;
    QStringList lines{info.GetVal_message()};
    if (extra.contains("camera_name"))
        lines << extra.value("camera_name").toString();
    if (extra.contains("time"))
        lines << extra.value("time").toDateTime().toString("yyyy/MM/dd hh:mm:ss");
    data->strText = lines.join('\n');
    data->normal_text_type = Lattice::CStruInfoTipsData::TextInfo;
    PlexaControl::CUiSingleton<tesk_ui_data_controller::CInformationMgr>::Instance()
        .ShowInformationAtScreenRightBottom_V3(data);
}

QVariantMap CSystemConfForPlayWnd::GetKorvFrameworkConfig()
{
    return {};
}

QVariantMap CSystemConfForPlayWnd::GetGeneralConfig()
{
    return {};
}

QVariantMap CSystemConfForPlayWnd::GetNetworkConfig()
{
    return {};
}

QVariantMap CSystemConfForPlayWnd::GetFileConfig()
{
    const auto file = tesk_configuration::CLocalSystemConfigManager::Instance().GetFileConfig();
    return {{"file_save_path", QString::fromStdString(file.file_save_path)}};
}

teskplaywindow::RealtimeLimitConfig CSystemConfForPlayWnd::GetRealtimeLimitConfig()
{
    return {};
}

QVariantMap CSystemConfForPlayWnd::GetInformationDisplayConfig()
{
    return {};
}

QVariantMap CSystemConfForPlayWnd::GetToolbarConfig()
{
    return {};
}

QVariantMap CSystemConfForPlayWnd::GetAudioConfig()
{
    return {};
}

bool CSystemConfForPlayWnd::IsDomesticProduct()
{
    return false;
}

} // namespace TeskVideoSearch
