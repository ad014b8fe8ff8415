#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class QLabel;

namespace Lattice {

// What a corner notification shows and where.
struct CStruInfoTipsData
{
    enum TextType {
        TextInfo = 0,
        TextWarning = 1,
        TextError = 2,
    };

    QWidget *pParent = nullptr; // its screen is used; null: the primary screen
    QString strText;
    int normal_text_type = TextInfo;
};

// A frameless pop-up at the bottom right of the screen that closes itself after a few seconds;
// several pop-ups stack upwards. Never blocks and never takes the focus.
class CNewInfoDlg : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kShowMilliseconds = 4000;

    // Callable from any thread; the pop-up is made on the user-interface thread.
    static void ShowInformationAtScreenRightBottom_V3(std::shared_ptr<CStruInfoTipsData> data);

    // Every text shown since the last clear, oldest first.
    static QStringList ShownTexts();
    static void ClearShownTexts();
    // Closes every open pop-up at once.
    static void CloseAll();
    static int OpenCount();

    ~CNewInfoDlg() override;

private:
    explicit CNewInfoDlg(const CStruInfoTipsData &data);
    static void ShowOnGuiThread(const CStruInfoTipsData &data);
    static void Restack();

    QLabel *ptr_text_label_ = nullptr;
    QPointer<QWidget> ptr_anchor_;
};

} // namespace Lattice
