#include "VideoListFram.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

namespace tesk_ui_data_controller {

namespace {

// The two ends of a range text "begin - end".
constexpr const char *kRangeSeparator = " - ";
// What the range column must hold on one of its two lines, and their font against the list's:
// two lines of it fit a row.
constexpr const char *kWidestRangeLine = "0000/00/00 00:00:00 -";
constexpr qreal kTwoLineFontScale = 0.8;

QFont TwoLineFont(QFont font)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * kTwoLineFontScale);
    else
        font.setPixelSize(qMax(1, qRound(font.pixelSize() * kTwoLineFontScale)));
    return font;
}

// The file as it will be written: the name and the extension of the row's file type.
QString FullFileName(const QModelIndex &index)
{
    const QString type = index.sibling(index.row(), HeadFileType).data().toString();
    const QString name = index.sibling(index.row(), HeadFileName).data().toString();
    return type.isEmpty() ? name : name + "." + type.toLower();
}

// Draws a cell with the text given instead of the model's, and shows the whole text as a tool
// tip when it is shortened.
class CReadableDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
        // The style keeps a margin on each side of the text.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        Fit(cell, index, text.width() - 2 * margin);
        cell.textElideMode = Qt::ElideNone;
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(event->globalPos(), Whole(index), view);
        return true;
    }

protected:
    virtual QString Whole(const QModelIndex &index) const = 0;
    // Sets the text (and font) the cell shows in `width` pixels.
    virtual void Fit(QStyleOptionViewItem &cell, const QModelIndex &index, int width) const = 0;
};

// Names: the extension and time range kept; edited with the row's own pattern and length limit.
class CNameDelegate : public CReadableDelegate
{
public:
    using CReadableDelegate::CReadableDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            line->setObjectName("ptr_name_editor_");
            const QString pattern = index.data(RoleNamePattern).toString();
            if (!pattern.isEmpty())
                line->setValidator(
                    new QRegularExpressionValidator(QRegularExpression(pattern), line));
            if (index.data(RoleNameMaxLength).toInt() > 0)
                line->setMaxLength(index.data(RoleNameMaxLength).toInt());
        }
        return editor;
    }

protected:
    QString Whole(const QModelIndex &index) const override { return FullFileName(index); }
    void Fit(QStyleOptionViewItem &cell, const QModelIndex &index, int width) const override
    {
        cell.text = CVideoListFram::ElideFileName(FullFileName(index), cell.fontMetrics, width);
    }
};

// Ranges: on two lines, begin and end, when one line is too narrow.
class CRangeDelegate : public CReadableDelegate
{
public:
    using CReadableDelegate::CReadableDelegate;

protected:
    QString Whole(const QModelIndex &index) const override { return index.data().toString(); }
    void Fit(QStyleOptionViewItem &cell, const QModelIndex &index, int width) const override
    {
        const QString range = index.data().toString();
        const int split = range.indexOf(kRangeSeparator);
        if (cell.fontMetrics.horizontalAdvance(range) <= width || split < 0) {
            cell.text = cell.fontMetrics.elidedText(range, Qt::ElideMiddle, width);
            return;
        }
        cell.font = TwoLineFont(cell.font);
        const QFontMetrics metrics(cell.font);
        const int separator = QString(kRangeSeparator).size();
        cell.text = metrics.elidedText(range.left(split + separator - 1), Qt::ElideMiddle, width) +
                    QChar(QChar::LineSeparator) +
                    metrics.elidedText(range.mid(split + separator), Qt::ElideMiddle, width);
    }
};

} // namespace

void CBaseDataStorage::SetModel(CVideoListFramModel *model)
{
    ptr_model_ = model;
}

CVideoListFramModel *CBaseDataStorage::GetModel() const
{
    return ptr_model_.data();
}

QString CVideoListFram::ElideFileName(const QString &name, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(name) <= width)
        return name;
    // Default names end in "_<begin>_<end>" of digits, before the extension.
    static const QRegularExpression range(R"((_\d{8,})+(\.\w+)?$)");
    const QRegularExpressionMatch match = range.match(name);
    if (match.hasMatch() && match.capturedStart() > 0) {
        const QString tail = name.mid(match.capturedStart());
        const QString head = name.left(match.capturedStart());
        const QString shortened =
            metrics.elidedText(head, Qt::ElideMiddle, width - metrics.horizontalAdvance(tail));
        // At least one character and the ellipsis of the head, or the tail is not enough.
        if (shortened.size() >= 2)
            return shortened + tail;
    }
    return metrics.elidedText(name, Qt::ElideMiddle, width);
}

CVideoListFramModel::CVideoListFramModel(QObject *parent)
    : QStandardItemModel(0, HeadColumnCount, parent)
{
    setHorizontalHeaderLabels({tr("FileName"), tr("TimeRange"), tr("FileType")});
}

QString CVideoListFramModel::SwitchFileType(int file_type)
{
    return file_type == 3 ? QStringLiteral("MP4") : QString();
}

QString CVideoListFramModel::FileMatchRegExpr()
{
    return QStringLiteral(
        R"(^[^\\/:*?"<>|\x00-\x1f. ]([^\\/:*?"<>|\x00-\x1f]*[^\\/:*?"<>|\x00-\x1f. ])?$)");
}

void CVideoListFramModel::SetDataStorage(std::shared_ptr<CBaseDataStorage> storage)
{
    ptr_storage_ = std::move(storage);
}

std::shared_ptr<CBaseDataStorage> CVideoListFramModel::GetDataStorage() const
{
    return ptr_storage_;
}

bool CVideoListFramModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role == Qt::EditRole && index.column() == HeadFileName) {
        const QString name = value.toString();
        const QString pattern = index.data(RoleNamePattern).toString();
        const int max_length = index.data(RoleNameMaxLength).toInt();
        const bool matches =
            pattern.isEmpty() || QRegularExpression(pattern).match(name).hasMatch();
        if (!matches || (max_length > 0 && name.size() > max_length)) {
            emit SignalInvalidFileName(name);
            return false;
        }
    }
    return QStandardItemModel::setData(index, value, role);
}

CVideoListFram::CVideoListFram(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("ptr_video_list_fram_");
    ptr_table_view_ = new QTableView(this);
    ptr_table_view_->setObjectName("ptr_file_table_view_");
    ptr_model_ = new CVideoListFramModel(this);
    ptr_table_view_->setModel(ptr_model_);
    ptr_table_view_->setItemDelegateForColumn(HeadFileName, new CNameDelegate(ptr_table_view_));
    ptr_table_view_->setItemDelegateForColumn(HeadTimeRange, new CRangeDelegate(ptr_table_view_));
    // Names break at no space: the delegates decide what a narrow cell shows.
    ptr_table_view_->setWordWrap(false);
    ptr_table_view_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                     QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::SelectedClicked);
    ptr_table_view_->verticalHeader()->hide();
    ptr_table_view_->verticalHeader()->setDefaultSectionSize(37);
    ptr_table_view_->horizontalHeader()->setFixedHeight(37);
    // The name takes what the range (on two lines if need be) and the type leave.
    QHeaderView *header = ptr_table_view_->horizontalHeader();
    header->setSectionResizeMode(HeadFileName, QHeaderView::Stretch);
    header->setSectionResizeMode(HeadTimeRange, QHeaderView::Interactive);
    header->setSectionResizeMode(HeadFileType, QHeaderView::ResizeToContents);
    const QFontMetrics metrics(TwoLineFont(ptr_table_view_->font()));
    ptr_table_view_->setColumnWidth(HeadTimeRange, metrics.horizontalAdvance(kWidestRangeLine) +
                                                       2 * metrics.averageCharWidth());
    ptr_table_view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ptr_table_view_->setTextElideMode(Qt::ElideMiddle);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ptr_table_view_);
}

CVideoListFramModel *CVideoListFram::GetDataModel() const
{
    return ptr_model_;
}

QTableView *CVideoListFram::GetTableView() const
{
    return ptr_table_view_;
}

void CVideoListFram::SetFileTypeColumnHidden(bool hidden)
{
    ptr_table_view_->setColumnHidden(HeadFileType, hidden);
}

} // namespace tesk_ui_data_controller
