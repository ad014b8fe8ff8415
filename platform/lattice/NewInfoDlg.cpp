#include "NewInfoDlg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <mutex>

namespace Lattice {

namespace {
constexpr int kMargin = 12;
constexpr int kSpacing = 8;
constexpr int kWidth = 340;

std::mutex texts_mutex;
QStringList shown_texts;

// Open pop-ups, oldest first (user-interface thread only).
QList<QPointer<CNewInfoDlg>> &OpenPopups()
{
    static QList<QPointer<CNewInfoDlg>> popups;
    return popups;
}

QString ObjectNameOf(int type)
{
    switch (type) {
    case CStruInfoTipsData::TextWarning:
        return QStringLiteral("ptr_info_warning_");
    case CStruInfoTipsData::TextError:
        return QStringLiteral("ptr_info_error_");
    default:
        return QStringLiteral("ptr_info_normal_");
    }
}
} // namespace

void CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(std::shared_ptr<CStruInfoTipsData> data)
{
    if (!data)
        return;
    {
        std::lock_guard<std::mutex> lock(texts_mutex);
        shown_texts.append(data->strText);
    }
    QCoreApplication *app = QCoreApplication::instance();
    if (!qobject_cast<QApplication *>(app))
        return;
    if (QThread::currentThread() == app->thread()) {
        ShowOnGuiThread(*data);
        return;
    }
    // The parent may be gone by the time the queued call runs: keep only a guarded copy.
    QPointer<QWidget> parent = data->pParent;
    CStruInfoTipsData copy = *data;
    QMetaObject::invokeMethod(
        app,
        [copy, parent]() mutable {
            copy.pParent = parent.data();
            ShowOnGuiThread(copy);
        },
        Qt::QueuedConnection);
}

QStringList CNewInfoDlg::ShownTexts()
{
    std::lock_guard<std::mutex> lock(texts_mutex);
    return shown_texts;
}

void CNewInfoDlg::ClearShownTexts()
{
    std::lock_guard<std::mutex> lock(texts_mutex);
    shown_texts.clear();
}

void CNewInfoDlg::CloseAll()
{
    const auto popups = OpenPopups();
    for (const auto &popup : popups) {
        if (popup)
            delete popup.data();
    }
    OpenPopups().clear();
}

int CNewInfoDlg::OpenCount()
{
    int count = 0;
    for (const auto &popup : OpenPopups())
        count += popup ? 1 : 0;
    return count;
}

CNewInfoDlg::CNewInfoDlg(const CStruInfoTipsData &data)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , ptr_anchor_(data.pParent)
{
    setObjectName(ObjectNameOf(data.normal_text_type));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    ptr_text_label_ = new QLabel(data.strText, this);
    ptr_text_label_->setObjectName(QStringLiteral("ptr_text_label_"));
    ptr_text_label_->setWordWrap(true);
    layout->addWidget(ptr_text_label_);
    setFixedWidth(kWidth);
    adjustSize();
}

CNewInfoDlg::~CNewInfoDlg()
{
    OpenPopups().removeAll(QPointer<CNewInfoDlg>(this));
    OpenPopups().removeAll(QPointer<CNewInfoDlg>());
    Restack();
}

void CNewInfoDlg::ShowOnGuiThread(const CStruInfoTipsData &data)
{
    auto *popup = new CNewInfoDlg(data);
    OpenPopups().append(popup);
    // A parent that goes away takes its pop-ups with it.
    if (data.pParent)
        QObject::connect(data.pParent, &QObject::destroyed, popup, &QWidget::close);
    QTimer::singleShot(kShowMilliseconds, popup, &QWidget::close);
    Restack();
    popup->show();
}

void CNewInfoDlg::Restack()
{
    int bottom_offset = kMargin;
    for (const auto &popup : OpenPopups()) {
        if (!popup)
            continue;
        QScreen *screen = popup->ptr_anchor_ ? popup->ptr_anchor_->screen() : nullptr;
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize size = popup->sizeHint().expandedTo(popup->size());
        popup->move(area.right() - kMargin - size.width() + 1,
                    area.bottom() - bottom_offset - size.height() + 1);
        bottom_offset += size.height() + kSpacing;
    }
}

} // namespace Lattice
