#include "views/GridThumbnailWidget.h"

#include "GridThumbnailWidget_p.h"

#include "lattice/SvgPixmap.h"
#include "mirelog/Log.h"
#include "playcontroller/TakeThumbnailController.h"
#include "plexacontrol/Widget.h"
#include "pluginmanager/PluginManager.h"
#include "views/VideoOperationWidget.h"

#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QStyle>
#include <QTimerEvent>

#if defined(Q_OS_UNIX)
#include <sys/mman.h>
#endif

namespace TeskVideoSearch {

namespace {

constexpr int kPictureInset = 4;
constexpr int kMaskHeight = 28;
constexpr int kTextBandHeight = 20;
constexpr int kTextBandGap = 2;
constexpr int kNoticeTopCut = 28;
constexpr int kNoticeBottomCut = 32;
constexpr int kAnimationSize = 54;
constexpr int kTextPadding = 6;
constexpr int kTextPixelSize = 12;
constexpr int kFrameAlpha = 10;
constexpr int kHoverAlpha = 51;
constexpr int kBadgeBackgroundAlpha = 123;
constexpr int kBadgeIconSize = 16;
constexpr int kBadgeNone = -1;
// Highest badge state that names one tag colour; higher states show the every-tag icon.
constexpr int kBadgeLastColour = 3;
// Operations the user may search by picture under.
constexpr int kPermissionSearchByImage = 9;
constexpr int kPermissionSearchByFace = 11;
// Shorter items cannot be split into one-minute segments.
constexpr int64_t kMinSplitSeconds = 61;

const QColor kFocusColour(0xE0, 0x2B, 0x2B);
const QColor kPictureBackground(0x26, 0x26, 0x26);
const QColor kNoticeColour(0x99, 0x99, 0x99);

const QMargins kRestMargins(0, 2, 4, 0);
const QMargins kRaisedMargins(0, 6, 8, 0);

const char kTileObjectName[] = "CGridThumbnailWidgetUI";
const char kWaitingGif[] = ":/Images/TeskUIDataController/Public/Gif/Waiting_M_4.gif";

struct SharedPictures
{
    QPixmap bottom_mask;
    QPixmap top_mask;
    QPixmap failure;
    QPixmap unloaded;
    QPixmap badges[kBadgeLastColour + 2];
};

const SharedPictures &Pictures()
{
    static const SharedPictures pictures = [] {
        const int width = CGridThumbnailWidget::kWidth - 2 * kPictureInset;
        SharedPictures loaded;
        loaded.bottom_mask = Lattice::GetHighDpiSvgPixmap(
            ":/Images/TeskVideoSearch/video_bottom_text_mask.svg", QSize(width, kMaskHeight));
        loaded.top_mask = Lattice::GetHighDpiSvgPixmap(
            ":/Images/TeskVideoSearch/video_top_text_mask.svg", QSize(width, kMaskHeight));
        loaded.failure =
            Lattice::GetHighDpiSvgPixmap(":/Images/TeskVideoSearch/default_picture_error_l.svg");
        loaded.unloaded = Lattice::GetHighDpiSvgPixmap(":/Images/TeskVideoSearch/unload_image.svg");
        const char *badges[] = {"common_tag_f_red", "common_tag_f_yellow", "common_tag_f_blue",
                                "common_tag_f_green", "common_tag_all"};
        for (int i = 0; i <= kBadgeLastColour + 1; ++i)
            loaded.badges[i] = Lattice::GetHighDpiSvgPixmap(
                QString(":/Images/TeskVideoSearch/%1.svg").arg(badges[i]),
                QSize(kBadgeIconSize, kBadgeIconSize));
        return loaded;
    }();
    return pictures;
}

// A copy of `image` in pages of its own. Pictures at tile size are smaller than what the heap
// serves from separate mappings, so thousands of them released while scrolling would stay with
// the process as free heap; these go back to the system the moment the tile lets go.
QImage InOwnPages(const QImage &image)
{
#if defined(Q_OS_UNIX)
    const QImage source = image.format() == QImage::Format_ARGB32_Premultiplied ||
                                  image.format() == QImage::Format_RGB32
                              ? image
                              : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const size_t bytes = static_cast<size_t>(source.sizeInBytes());
    if (bytes == 0)
        return image;
    void *pages = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        return image;
    memcpy(pages, source.constBits(), bytes);
    struct Mapping
    {
        void *pages;
        size_t bytes;
    };
    auto *mapping = new Mapping{pages, bytes};
    QImage owned(
        static_cast<uchar *>(pages), source.width(), source.height(),
        static_cast<int>(source.bytesPerLine()), source.format(),
        [](void *info) {
            auto *done = static_cast<Mapping *>(info);
            munmap(done->pages, done->bytes);
            delete done;
        },
        mapping);
    owned.setDevicePixelRatio(source.devicePixelRatio());
    return owned;
#else
    return image;
#endif
}

// Where the painted layers go, for painting and for the tool tips alike.
struct TileGeometry
{
    QRect picture;
    QRect time_band;
    QRect name_band;
    QRect notice;
    QRect badge;
};

// Badge mode 0 leaves the name band at the left; modes 1 and 2 make room for one or two icons.
int BadgeMode(int badge_state)
{
    if (badge_state <= kBadgeNone)
        return 0;
    return badge_state <= kBadgeLastColour + 1 ? 1 : 2;
}

TileGeometry GeometryOf(const QRect &tile, int badge_state)
{
    TileGeometry g;
    g.picture = tile.adjusted(kPictureInset, kPictureInset, -kPictureInset, -kPictureInset);
    g.time_band = QRect(g.picture.left() + kTextPadding,
                        g.picture.bottom() - kTextBandGap - kTextBandHeight + 1,
                        g.picture.width() - 2 * kTextPadding, kTextBandHeight);
    static const int kNameLeft[] = {8, 40, 64};
    static const int kNameShrink[] = {60, 92, 116};
    const int mode = BadgeMode(badge_state);
    g.name_band = QRect(g.picture.left() + kNameLeft[mode], g.picture.top() + kTextBandGap,
                        g.picture.width() - kNameShrink[mode], kTextBandHeight);
    g.notice = g.picture.adjusted(0, kNoticeTopCut, 0, -kNoticeBottomCut);
    g.badge = QRect(g.picture.left(), g.picture.top(), kNameLeft[mode] - 4, kMaskHeight);
    return g;
}

// An item without the key has no badge.
int BadgeStateOf(const CCustomVideoData *item)
{
    const QVariant state = item ? item->GetPairData(KeyBadgeState) : QVariant();
    return state.isValid() ? state.toInt() : kBadgeNone;
}

QString BeginText(const CCustomVideoData &item)
{
    return item.GetPairData(KeyBeginTimeText).toString();
}

QString NameText(const CCustomVideoData &item)
{
    return item.GetPairData(KeyCameraName).toString();
}

int64_t ItemSeconds(const CCustomVideoData &item)
{
    PlaybackFileVector files;
    item.GetFileDatas(files);
    if (files.isEmpty() || !files.front() || !files.back())
        return 0;
    return files.back()->GetFileEndTime() - files.front()->GetFileBegTime();
}

struct SplitChoice
{
    SecondSplitTimeType type;
    int64_t seconds;
};

// The lengths a split offers, longest first; the longest offered is shorter than the item.
const std::vector<SplitChoice> &SplitChoices()
{
    static const std::vector<SplitChoice> choices = {
        {SplitThreeHours, 10800}, {SplitHalfHour, 1800},   {SplitTwentyMinutes, 1200},
        {SplitTenMinutes, 600},   {SplitFiveMinutes, 300}, {SplitTwoMinutes, 120},
        {SplitOneMinute, 60}};
    return choices;
}

int64_t SplitSecondsOf(int split_type)
{
    for (const SplitChoice &choice : SplitChoices()) {
        if (choice.type == split_type)
            return choice.seconds;
    }
    return 0;
}

} // namespace

CGridThumbnailWidget::CGridThumbnailWidget(std::shared_ptr<CCustomVideoData> item,
                                           std::shared_ptr<CVideoDataManager> manager,
                                           QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<GridThumbnailWidgetData>())
{
    static const QString object_name = QString::fromLatin1(kTileObjectName);
    setObjectName(object_name);
    data_->ptr_item_ = std::move(item);
    data_->ptr_data_manager_ = std::move(manager);
    setFixedSize(kWidth, kHeight);
    // One font for every tile: a font of its own per tile would be thousands of copies.
    static const QFont text_font = [this] {
        QFont tile_font = font();
        tile_font.setPixelSize(kTextPixelSize);
        return tile_font;
    }();
    setFont(text_font);
    Pictures();
    setMouseTracking(true);
    // A tile can be built for an item whose picture is already on its way or in.
    UpdateAnimation();
}

CGridThumbnailWidget::~CGridThumbnailWidget() = default;

bool CGridThumbnailWidget::HasForm() const
{
    return data_->has_form_;
}

void CGridThumbnailWidget::EnsureForm()
{
    if (data_->has_form_)
        return;
    data_->has_form_ = true;
    Ui::CGridThumbnailWidgetUI &ui = data_->ui_;
    ui.setupUi(this);
    ui.ptr_more_label_->hide();
    ui.ptr_animation_label_->hide();
    ui.ptr_more_label_->setMouseTracking(true);
    ui.ptr_animation_label_->setMouseTracking(true);
    ui.ptr_checkbox_->setCheckState(data_->check_state_);
    // Shown now rather than when the layout gets round to it, so that the paint that asked
    // for the form already has it.
    ui.ptr_checkbox_->show();
    ConnectMoreLabel();
    ConnectCheckBox();
    UpdateLayoutMargins();
    UpdateAnimation();
    if (data_->is_hovered_)
        ShowMoreLabel();
}

void CGridThumbnailWidget::ReleaseForm()
{
    if (!data_->has_form_ || data_->is_hovered_ || data_->is_pressed_)
        return;
    Ui::CGridThumbnailWidgetUI &ui = data_->ui_;
    if (data_->ptr_movie_) {
        data_->ptr_movie_->stop();
        ui.ptr_animation_label_->setMovie(nullptr);
        delete data_->ptr_movie_;
        data_->ptr_movie_ = nullptr;
    }
    delete layout();
    delete ui.ptr_more_label_;
    delete ui.ptr_checkbox_;
    delete ui.ptr_animation_label_;
    ui = {};
    data_->has_form_ = false;
}

void CGridThumbnailWidget::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == data_->request_timer_.timerId()) {
        data_->request_timer_.stop();
        OnAskThumbnail();
    } else if (event->timerId() == data_->timeout_timer_.timerId()) {
        data_->timeout_timer_.stop();
        OnAnswerTimeout();
    } else {
        QWidget::timerEvent(event);
    }
}

std::shared_ptr<CCustomVideoData> CGridThumbnailWidget::GetItem() const
{
    return data_->ptr_item_;
}

int CGridThumbnailWidget::GetDataId() const
{
    return data_->ptr_item_ ? data_->ptr_item_->GetPairData(KeyDataId).toInt() : -1;
}

int CGridThumbnailWidget::ThumbnailState() const
{
    return data_->ptr_item_ ? data_->ptr_item_->GetPairData(KeyThumbnailState).toInt() : 0;
}

bool CGridThumbnailWidget::NeedsThumbnail() const
{
    return data_->ptr_item_ && data_->ptr_item_->GetPairData(KeyThumbnailSupported).toBool() &&
           ThumbnailState() == ThumbnailNotLoaded;
}

int64_t CGridThumbnailWidget::ThumbnailTime() const
{
    if (!data_->ptr_item_)
        return -1;
    PlaybackFileVector files;
    data_->ptr_item_->GetFileDatas(files);
    return files.isEmpty() || !files.front() ? -1 : files.front()->GetFileBegTime();
}

bool CGridThumbnailWidget::RequestThumbnail()
{
    if (!data_->ptr_item_)
        return true;
    SetThumbnailState(ThumbnailFetching);
    data_->request_timer_.start(kRequestDelayMs, this);
    return true;
}

void CGridThumbnailWidget::OnAskThumbnail()
{
    const int64_t time = ThumbnailTime();
    if (!data_->ptr_data_manager_ || time < 0) {
        TESK_LOG_INFO("The picture of %s cannot be asked for: %s",
                      NameText(*data_->ptr_item_).toUtf8().constData(),
                      time < 0 ? "the result has no file" : "the view has no data");
        FinishThumbnail(false, QImage());
        return;
    }
    teskplaycontroller::ThumbnailKey key;
    key.site_id = data_->ptr_item_->GetPairData(KeySiteId).toString().toStdString();
    key.camera_id = data_->ptr_item_->GetPairData(KeyCameraId).toString().toStdString();
    key.time = time;
    data_->requested_time_ = time;
    if (!data_->answer_connection_)
        data_->answer_connection_ =
            connect(data_->ptr_data_manager_.get(), &CVideoDataManager::SignalThumbnailFinished,
                    this, &CGridThumbnailWidget::OnThumbnailAnswered);
    data_->timeout_timer_.start(kAnswerTimeoutMs, this);
    if (!data_->ptr_data_manager_->GetThumbnailByTime(key)) {
        TESK_LOG_INFO("The picture of %s at %lld was refused: no search is bound to the view",
                      NameText(*data_->ptr_item_).toUtf8().constData(),
                      static_cast<long long>(time));
        FinishThumbnail(false, QImage());
    }
}

void CGridThumbnailWidget::OnThumbnailAnswered(const teskplaycontroller::ThumbnailKey &key,
                                               const teskplaycontroller::ThumbnailResult &result)
{
    if (!data_->ptr_item_ || key.time != data_->requested_time_ ||
        key.camera_id != data_->ptr_item_->GetPairData(KeyCameraId).toString().toStdString() ||
        key.site_id != data_->ptr_item_->GetPairData(KeySiteId).toString().toStdString())
        return;
    if (result.success && result.image.isNull())
        TESK_LOG_INFO("The picture of %s at %lld came back empty",
                      NameText(*data_->ptr_item_).toUtf8().constData(),
                      static_cast<long long>(key.time));
    FinishThumbnail(result.success && !result.image.isNull(), result.image);
}

void CGridThumbnailWidget::OnAnswerTimeout()
{
    TESK_LOG_INFO("The picture of %s at %lld was not answered within %d ms",
                  NameText(*data_->ptr_item_).toUtf8().constData(),
                  static_cast<long long>(data_->requested_time_), kAnswerTimeoutMs);
    FinishThumbnail(false, QImage());
}

void CGridThumbnailWidget::FinishThumbnail(bool success, const QImage &image)
{
    disconnect(data_->answer_connection_);
    data_->answer_connection_ = {};
    data_->timeout_timer_.stop();
    data_->requested_time_ = -1;
    if (success) {
        // Kept at the size it is shown at: a full decoded frame per tile would dominate memory.
        const QSize area =
            rect().adjusted(kPictureInset, kPictureInset, -kPictureInset, -kPictureInset).size() *
            devicePixelRatioF();
        data_->ptr_item_->SetThumbnailImage(
            InOwnPages(image.size().width() > area.width() || image.size().height() > area.height()
                           ? image.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                           : image));
    }
    SetThumbnailState(success ? ThumbnailLoaded : ThumbnailFailed);
    emit SignalThumbnailFinished(success);
}

void CGridThumbnailWidget::ReleaseThumbnail()
{
    if (ThumbnailState() != ThumbnailLoaded)
        return;
    data_->ptr_item_->SetThumbnailImage(QImage());
    SetThumbnailState(ThumbnailNotLoaded);
}

void CGridThumbnailWidget::SetThumbnailState(int state)
{
    if (!data_->ptr_item_)
        return;
    data_->ptr_item_->InsertPairData(KeyThumbnailState, state);
    UpdateAnimation();
    update();
}

void CGridThumbnailWidget::UpdateAnimation()
{
    const bool fetching = ThumbnailState() == ThumbnailFetching;
    // Only tiles in view fetch, so a waiting tile is one worth its form.
    if (fetching)
        EnsureForm();
    QLabel *label = data_->ui_.ptr_animation_label_;
    if (!label)
        return;
    if (fetching) {
        if (!data_->ptr_movie_) {
            data_->ptr_movie_ = new QMovie(kWaitingGif, QByteArray(), this);
            data_->ptr_movie_->setScaledSize(QSize(kAnimationSize, kAnimationSize));
            label->setMovie(data_->ptr_movie_);
        }
        data_->ptr_movie_->start();
        label->show();
        return;
    }
    label->hide();
    if (data_->ptr_movie_) {
        // A stopped animation still holds its decoder and frames; thousands of tiles that
        // once waited would keep them all.
        data_->ptr_movie_->stop();
        label->setMovie(nullptr);
        data_->ptr_movie_->deleteLater();
        data_->ptr_movie_ = nullptr;
    }
}

void CGridThumbnailWidget::ConnectCheckBox()
{
    connect(data_->ui_.ptr_checkbox_, &QCheckBox::stateChanged, this,
            &CGridThumbnailWidget::OnCheckBoxStateChanged, Qt::UniqueConnection);
}

void CGridThumbnailWidget::SetChecked(Qt::CheckState state)
{
    data_->check_state_ = state;
    if (!data_->has_form_)
        return;
    disconnect(data_->ui_.ptr_checkbox_, &QCheckBox::stateChanged, this,
               &CGridThumbnailWidget::OnCheckBoxStateChanged);
    data_->ui_.ptr_checkbox_->setCheckState(state);
    ConnectCheckBox();
}

bool CGridThumbnailWidget::IsChecked() const
{
    return data_->check_state_ == Qt::Checked;
}

void CGridThumbnailWidget::OnCheckBoxStateChanged(int state)
{
    data_->check_state_ = static_cast<Qt::CheckState>(state);
    emit SignalCheckedStateChanged(state == Qt::Checked);
}

void CGridThumbnailWidget::SetFocused(bool focused)
{
    data_->is_focused_ = focused;
    UpdateLayoutMargins();
    update();
}

bool CGridThumbnailWidget::IsFocused() const
{
    return data_->is_focused_;
}

void CGridThumbnailWidget::UpdateLayoutMargins()
{
    if (!data_->has_form_)
        return;
    data_->ui_.ptr_main_layout_->setContentsMargins(
        data_->is_hovered_ || data_->is_focused_ ? kRaisedMargins : kRestMargins);
}

void CGridThumbnailWidget::OnMoreLabelHovered(bool hovered)
{
    QLabel *label = data_->ui_.ptr_more_label_;
    if (!label)
        return;
    label->setObjectName(hovered ? "ptr_more_label_hover_" : "ptr_more_label_");
    label->style()->unpolish(label);
    label->style()->polish(label);
    label->update();
}

CVideoOperationInitParam CGridThumbnailWidget::GetOperationParam() const
{
    return data_->operation_param_;
}

void CGridThumbnailWidget::FillOperationParam()
{
    CVideoOperationInitParam param;
    if (!data_->ptr_item_) {
        data_->operation_param_ = param;
        return;
    }
    const CCustomVideoData &item = *data_->ptr_item_;
    const int64_t seconds = ItemSeconds(item);
    param.SetVal_is_show_split_btn(item.GetPairData(KeyIsRegularKind).toBool() &&
                                   seconds >= kMinSplitSeconds);
    SplitTimeLabelMap labels;
    for (const SplitChoice &choice : SplitChoices()) {
        // One-minute and two-minute segments are always offered; longer ones when shorter
        // than the item.
        if (choice.seconds < seconds || choice.type >= SplitTwoMinutes) {
            labels[choice.type] =
                choice.type == SplitThreeHours
                    ? tr("Korv-ControlClient.aa55ff0bf0304afe837a15f33f83d21d.name").arg(3)
                    : tr("Korv-ControlClient.ea7e02cc518d44c897f04280be0780a4.name")
                          .arg(choice.seconds / 60);
        }
    }
    param.SetVal_map_split_time_type(labels);
    param.SetVal_split_enable(item.GetPairData(KeyIsSplitByLength).toBool());
    param.SetVal_split_invisble_tooltip(tr("SegmentedVideoIsNotSmstfrjqf"));
    const bool show_search = item.GetPairData(KeySearchByImageSupported).toBool();
    param.SetVal_is_show_search_btn(show_search);
    if (show_search) {
        auto &host = OrlPluginManager::CResourceBusinessInterfaceMgr::Instance();
        const bool permitted = host.CheckControlPermission(kPermissionSearchByImage) ||
                               host.CheckControlPermission(kPermissionSearchByFace);
        param.SetVal_search_btn_enable(permitted && ThumbnailState() == ThumbnailLoaded);
        if (!permitted)
            param.SetVal_search_invisble_tooltip(tr("MxPiMpHVdTcIHCVAfA"));
        else if (ThumbnailState() != ThumbnailLoaded)
            param.SetVal_search_invisble_tooltip(tr("SmfiVCqUgqgFbGJSeF"));
    }
    data_->operation_param_ = param;
}

void CGridThumbnailWidget::enterEvent(QEvent *event)
{
    data_->is_hovered_ = true;
    EnsureForm();
    UpdateLayoutMargins();
    update();
    ShowMoreLabel();
    QWidget::enterEvent(event);
}

void CGridThumbnailWidget::ShowMoreLabel()
{
    FillOperationParam();
    data_->ui_.ptr_more_label_->setVisible(data_->operation_param_.GetVal_is_show_search_btn() ||
                                           data_->operation_param_.GetVal_is_show_split_btn());
}

void CGridThumbnailWidget::leaveEvent(QEvent *event)
{
    data_->is_hovered_ = false;
    UpdateLayoutMargins();
    update();
    if (data_->has_form_) {
        data_->ui_.ptr_more_label_->hide();
        OnMoreLabelHovered(false);
    }
    QWidget::leaveEvent(event);
}

QString CGridThumbnailWidget::ToolTipAt(const QPoint &pos) const
{
    if (!data_->ptr_item_)
        return {};
    const CCustomVideoData &item = *data_->ptr_item_;
    const TileGeometry g = GeometryOf(rect(), BadgeStateOf(&item));
    const bool supported = item.GetPairData(KeyThumbnailSupported).toBool();
    if (!supported && g.notice.contains(pos))
        return tr("TheDeviceDoesNotSuppzzdSmzJI");
    const QFontMetrics metrics(font());
    const auto elided = [&](const QString &text, const QRect &band) {
        return metrics.horizontalAdvance(text) > band.width();
    };
    if (g.time_band.contains(pos) && elided(BeginText(item), g.time_band))
        return BeginText(item);
    if (item.GetPairData(KeyShowCameraName).toBool() && g.name_band.contains(pos) &&
        elided(NameText(item), g.name_band))
        return NameText(item);
    return {};
}

void CGridThumbnailWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QString tip = ToolTipAt(event->pos());
    if (tip != toolTip())
        setToolTip(tip);
    QWidget::mouseMoveEvent(event);
}

void CGridThumbnailWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        data_->is_pressed_ = true;
    QWidget::mousePressEvent(event);
}

void CGridThumbnailWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (!data_->is_pressed_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    data_->is_pressed_ = false;
    QLabel *more = data_->ui_.ptr_more_label_;
    if (more && more->isVisible() && more->geometry().contains(event->pos()))
        OpenOperationPopup();
    else if (rect().contains(event->pos()) && data_->ptr_item_)
        emit SignalDataOperate(OperationPlay, GetDataId());
    QWidget::mouseReleaseEvent(event);
}

void CGridThumbnailWidget::ConnectMoreLabel()
{
    auto *more = data_->ui_.ptr_more_label_;
    connect(more, &PlexaControl::CLabel::SignalMouseEnter, this,
            [this] { OnMoreLabelHovered(true); });
    connect(more, &PlexaControl::CLabel::SignalMouseLeave, this,
            [this] { OnMoreLabelHovered(false); });
}

void CGridThumbnailWidget::OpenOperationPopup()
{
    if (!data_->ptr_item_)
        return;
    EnsureForm();
    // The item may have changed since the hover (its picture came in), so the rows are
    // filled afresh.
    FillOperationParam();
    CVideoOperationWidget &popup = CVideoOperationWidget::Instance();
    disconnect(&popup, &CVideoOperationWidget::SignalSecondSearchClicked, nullptr, nullptr);
    disconnect(&popup, &CVideoOperationWidget::SignalSecondSplitClicked, nullptr, nullptr);
    popup.InitWidgetParam(data_->operation_param_);
    const int data_id = GetDataId();
    connect(&popup, &CVideoOperationWidget::SignalSecondSearchClicked, this,
            [this, data_id] { emit SignalDataOperate(OperationSecondSearch, data_id); });
    connect(&popup, &CVideoOperationWidget::SignalSecondSplitClicked, this, [this, data_id] {
        const SecondSplitTimeType type = CVideoOperationWidget::Instance().GetSecondSplitTimeType();
        data_->ptr_item_->InsertPairData(KeySplitLength, static_cast<int>(SplitSecondsOf(type)));
        emit SignalDataOperate(OperationSplit, data_id);
    });
    if (!data_->operation_param_.GetVal_is_show_search_btn() &&
        !data_->operation_param_.GetVal_is_show_split_btn())
        return;
    QLabel *more = data_->ui_.ptr_more_label_;
    const QPoint below = more->mapToGlobal(QPoint(0, more->height()));
    const QRect bounds = PlexaControl::GetBorderAvailableGeometry(below);
    QRect placed(below, popup.size());
    // Kept on the screen sideways only: it belongs under the label.
    if (placed.right() > bounds.right())
        placed.moveRight(bounds.right());
    if (placed.left() < bounds.left())
        placed.moveLeft(bounds.left());
    popup.move(placed.topLeft());
    popup.show();
}

void CGridThumbnailWidget::paintEvent(QPaintEvent *)
{
    // Painted means in view: the check box and labels are wanted from now on.
    EnsureForm();
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int badge_state = BadgeStateOf(data_->ptr_item_.get());
    const TileGeometry g = GeometryOf(rect(), badge_state);
    const SharedPictures &pictures = Pictures();

    painter.fillRect(g.picture, kPictureBackground);
    if (!data_->ptr_item_)
        return;
    const CCustomVideoData &item = *data_->ptr_item_;
    const bool supported = item.GetPairData(KeyThumbnailSupported).toBool();
    const int state = ThumbnailState();
    if (!supported) {
        painter.setPen(kNoticeColour);
        painter.drawText(g.notice.adjusted(kTextPadding, 0, -kTextPadding, 0),
                         Qt::AlignCenter | Qt::TextWordWrap, tr("TheDeviceDoesNotSuppzzdSmzJI"));
    } else if (state == ThumbnailFailed || state == ThumbnailNotLoaded) {
        const QPixmap &picture = state == ThumbnailFailed ? pictures.failure : pictures.unloaded;
        QSize size = picture.size() / picture.devicePixelRatio();
        if (size.width() > g.notice.width() || size.height() > g.notice.height())
            size.scale(g.notice.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(), size);
        target.moveCenter(g.picture.center());
        painter.drawPixmap(target, picture);
    } else if (state == ThumbnailLoaded) {
        const QImage &image = data_->ptr_item_->GetThumbnailImage();
        QSize size = image.size() / image.devicePixelRatio();
        size.scale(g.picture.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(), size);
        target.moveCenter(g.picture.center());
        painter.drawImage(target, image);
    }

    const QRect bottom_mask(g.picture.left(), g.picture.bottom() - kMaskHeight + 1,
                            g.picture.width(), kMaskHeight);
    painter.drawPixmap(bottom_mask, pictures.bottom_mask);
    painter.setPen(Qt::white);
    const QFontMetrics metrics(font());
    painter.drawText(g.time_band, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(BeginText(item), Qt::ElideRight, g.time_band.width()));

    if (item.GetPairData(KeyShowCameraName).toBool()) {
        painter.drawPixmap(QRect(g.picture.topLeft(), QSize(g.picture.width(), kMaskHeight)),
                           pictures.top_mask);
        painter.drawText(g.name_band, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(NameText(item), Qt::ElideRight, g.name_band.width()));
    }
    if (badge_state > kBadgeNone) {
        painter.fillRect(g.badge, QColor(0, 0, 0, kBadgeBackgroundAlpha));
        const int icon = std::min(badge_state, kBadgeLastColour + 1);
        QRect target(0, 0, kBadgeIconSize, kBadgeIconSize);
        target.moveCenter(g.badge.center());
        painter.drawPixmap(target, pictures.badges[icon]);
    }

    // Frames last, over the picture.
    if (data_->is_hovered_)
        painter.fillRect(rect(), QColor(0, 0, 0, kHoverAlpha));
    if (data_->is_focused_) {
        painter.setPen(QPen(kFocusColour, 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    } else {
        painter.setPen(QColor(0, 0, 0, kFrameAlpha));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace TeskVideoSearch
