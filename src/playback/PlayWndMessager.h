#pragma once

#include "TeskVideoSearchExport.h"

#include "playwindow/PlaybackTypes.h"
#include "quorbase/Singleton.h"

#include <QObject>
#include <QPointer>

class QLabel;

namespace TeskVideoSearch {

// Shows the play window's messages on the main widget (a text box centred near its top) and
// its picture tips as corner notifications. The main widget and the box are shared by all
// instances.
class TESKVIDEOSEARCH_EXPORT CPlayWndMessager : public QObject,
                                                public teskplaywindow::IMessageNotifier
{
    Q_OBJECT
public:
    // Top offset of the message box on its main widget.
    static constexpr int kMessageTop = 15;

    explicit CPlayWndMessager(QObject *parent = nullptr);
    ~CPlayWndMessager() override;

    void ShowMessage(const teskplaywindow::CMessageInfo &info,
                     const QMap<QString, QVariant> &extra) override;
    static void SetMainWidget(QWidget *widget);
    static QWidget *GetMainWidget();
    // The message box of the main widget; null before one was needed.
    static QLabel *GetMessageBox();
    // The box state for a message type: 0 -> 3, 1 -> 2, 2 -> 1, 3 -> 0, other -> 3.
    static int StateOfMessageType(int message_type);

private:
    void ShowPictureMessageTip(const teskplaywindow::CMessageInfo &info,
                               const QMap<QString, QVariant> &extra);
};

// The client's local settings for the play window, read at the moment they are asked for.
class TESKVIDEOSEARCH_EXPORT CSystemConfForPlayWnd
    : public Quor::Base::CSingleton<CSystemConfForPlayWnd>,
      public teskplaywindow::IVideoSystemConf
{
public:
    QVariantMap GetKorvFrameworkConfig() override;
    QVariantMap GetGeneralConfig() override;
    QVariantMap GetNetworkConfig() override;
    QVariantMap GetFileConfig() override;
    teskplaywindow::RealtimeLimitConfig GetRealtimeLimitConfig() override;
    QVariantMap GetInformationDisplayConfig() override;
    QVariantMap GetToolbarConfig() override;
    QVariantMap GetAudioConfig() override;
    bool IsDomesticProduct() override;

private:
    friend class Quor::Base::CSingleton<CSystemConfForPlayWnd>;
    CSystemConfForPlayWnd() = default;
};

} // namespace TeskVideoSearch
