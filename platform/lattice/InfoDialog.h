#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

namespace Lattice {

// What a corner notification shows and where.
struct CStruInfoTipsData
{
    QWidget *pParent = nullptr;
    QString strText;
    int normal_text_type = 0;
};

// Notifications at the bottom right of the screen. This build records the texts it was asked to
// show, so that callers can be checked without a screen.
class CNewInfoDlg
{
public:
    static void ShowInformationAtScreenRightBottom_V3(std::shared_ptr<CStruInfoTipsData> data);

    static QStringList ShownTexts();
    static void ClearShownTexts();
};

} // namespace Lattice
