#pragma once

#include "TeskVideoSearchExport.h"

#include <QLabel>

class QMovie;

namespace TeskVideoSearch {

// The spinner shown over the file bar while a search is loading.
class TESKVIDEOSEARCH_EXPORT CTimeBarLoadingLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CTimeBarLoadingLabel(QWidget *parent = nullptr);
    ~CTimeBarLoadingLabel() override;

    void SetLoadingSize(const QSize &size);
    // Shows the spinner centred in a parent of `parent_size`, a little below the middle.
    void StartLoading(const QSize &parent_size);
    void StopLoading();
    bool IsLoading() const;

private:
    QMovie *ptr_movie_ = nullptr;
};

} // namespace TeskVideoSearch
