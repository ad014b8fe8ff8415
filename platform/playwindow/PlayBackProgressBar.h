#pragma once

#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

namespace teskplaywindow {

// The play window's time slider: the shown range, the files' ranges as bands, the playing
// position, and two separator marks that bound a tag's range when visible. A click or a drag
// seeks; dragging a mark moves it.
class CPlayBackProgressBar : public QWidget
{
    Q_OBJECT
public:
    explicit CPlayBackProgressBar(QWidget *parent = nullptr);

    void SetRange(int64_t begin, int64_t end);
    std::pair<int64_t, int64_t> GetRange() const { return {begin_, end_}; }
    void SetFiles(std::vector<std::pair<int64_t, int64_t>> files);
    const std::vector<std::pair<int64_t, int64_t>> &GetFiles() const { return files_; }
    void SetPosition(int64_t utc);
    int64_t GetPosition() const { return position_; }
    void SetSeperatorDelegateVisible(bool visible);
    bool IsSeperatorDelegateVisible() const { return is_seperator_visible_; }
    void SetSeperatorDelegateTimet(int64_t left, int64_t right);
    // The two marks, left first.
    std::pair<int64_t, int64_t> GetSeperatorDelegateTimet() const { return {left_, right_}; }
    // The time under x, and the x of a time, in this widget's coordinates.
    int64_t TimeAtX(int x) const;
    int XOfTime(int64_t t) const;
    void Clear();

    QSize sizeHint() const override { return {320, 24}; }

signals:
    void SignalSeek(qint64 utc);
    void SignalSeperatorMoved(qint64 utc, bool is_left);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum Drag { DragNone, DragPosition, DragLeft, DragRight };
    static constexpr int kMargin = 6;
    static constexpr int kGrabPixels = 5;

    int64_t begin_ = 0;
    int64_t end_ = 0;
    int64_t position_ = -1;
    int64_t left_ = 0;
    int64_t right_ = 0;
    bool is_seperator_visible_ = false;
    std::vector<std::pair<int64_t, int64_t>> files_;
    Drag drag_ = DragNone;
};

} // namespace teskplaywindow
