#include "plexacontrol/Label.h"
#include "plexacontrol/ShadowWidget.h"
#include "plexacontrol/UiSingleton.h"
#include "plexacontrol/Widget.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

constexpr int kWaitMs = 5000;

TEST(ShadowWidget, PaintsASoftShadowAroundItsContentOnly)
{
    QWidget window;
    window.setAttribute(Qt::WA_TranslucentBackground);
    auto *content = new QLabel("content");
    content->setStyleSheet("background: white;");
    content->setFixedSize(120, 60);
    auto *shadow = new PlexaControl::CShadowWidget(
        content, PlexaControl::CShadowWidget::ShadowAround, &window);
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(shadow);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QMargins margins = shadow->ShadowMargins();
    EXPECT_EQ(content->geometry(), shadow->rect().marginsRemoved(margins));

    QImage image(shadow->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    shadow->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRect area = content->geometry();
    const auto alpha = [&](int x, int y) {
        return qAlpha(image.pixel(x, y));
    };
    // Darkest next to the content's lower edge, fading outwards, nothing in the corner.
    const int below = alpha(area.center().x(), area.bottom() + 2);
    EXPECT_GT(below, 10);
    EXPECT_LT(alpha(area.center().x(), image.height() - 1), below);
    EXPECT_GT(alpha(area.left() - 2, area.center().y()), 0);
    EXPECT_EQ(alpha(0, 0), 0);
    // The content is drawn over the shadow, not tinted by it.
    EXPECT_EQ(image.pixel(area.center().x(), area.top() + 2), qRgb(255, 255, 255));
}

class CountedService
{
public:
    static std::atomic<int> constructed;

private:
    friend class PlexaControl::CUiSingleton<CountedService>;
    CountedService() { ++constructed; }
};
std::atomic<int> CountedService::constructed{0};

TEST(UiSingleton, ThreadsRacingForTheFirstCallShareOneInstance)
{
    constexpr int kThreads = 8;
    std::vector<CountedService *> seen(kThreads, nullptr);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            while (!go.load())
                std::this_thread::yield();
            seen[i] = &PlexaControl::CUiSingleton<CountedService>::Instance();
        });
    }
    go = true;
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(CountedService::constructed.load(), 1);
    EXPECT_EQ(std::set<CountedService *>(seen.begin(), seen.end()).size(), 1u);
    EXPECT_EQ(seen.front(), &PlexaControl::CUiSingleton<CountedService>::Instance());
}

} // namespace
