#include "InfoDialog.h"

#include "mirelog/Log.h"

#include <mutex>

namespace Lattice {

namespace {

std::mutex &ShownMutex()
{
    static std::mutex mutex;
    return mutex;
}

QStringList &Shown()
{
    static QStringList texts;
    return texts;
}

} // namespace

void CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(std::shared_ptr<CStruInfoTipsData> data)
{
    if (!data)
        return;
    TESK_LOG_INFO("Corner notification: %s", qUtf8Printable(data->strText));
    std::lock_guard<std::mutex> lock(ShownMutex());
    Shown().append(data->strText);
}

QStringList CNewInfoDlg::ShownTexts()
{
    std::lock_guard<std::mutex> lock(ShownMutex());
    return Shown();
}

void CNewInfoDlg::ClearShownTexts()
{
    std::lock_guard<std::mutex> lock(ShownMutex());
    Shown().clear();
}

} // namespace Lattice
