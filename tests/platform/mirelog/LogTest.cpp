#include "mirelog/Log.h"

#include <gtest/gtest.h>

#include <QFile>

#include <mutex>
#include <thread>
#include <vector>

namespace {

namespace Outer::Inner {
struct Widget
{
    static std::string Name() { return TESK_LOG_FUNCTION_NAME(); }
    template<class T>
    std::string Templated(T) const
    {
        return TESK_LOG_FUNCTION_NAME();
    }
};
} // namespace Outer::Inner

TEST(Log, QualifiedFunctionNameDropsReturnTypeAndArguments)
{
    EXPECT_EQ(mirelog::QualifiedFunctionName(
                  "bool TeskVideoSearch::CVideoSearchController::SearchCameraFiles("
                  "teskplaycontroller::CCameraVideoSearchCondition&, const int&)"),
              "TeskVideoSearch::CVideoSearchController::SearchCameraFiles");
    EXPECT_EQ(mirelog::QualifiedFunctionName("std::map<int, std::string> Ns::C::Get() const"),
              "Ns::C::Get");
    EXPECT_EQ(mirelog::QualifiedFunctionName("Ns::C::C(int)"), "Ns::C::C");
    EXPECT_EQ(mirelog::QualifiedFunctionName("int* Ns::f()"), "Ns::f");
    EXPECT_EQ(mirelog::QualifiedFunctionName(""), "");
    EXPECT_NE(Outer::Inner::Widget::Name().find("Outer::Inner::Widget::Name"), std::string::npos);
}

struct Capture
{
    Capture()
    {
        id = mirelog::AddListener([this](const mirelog::Record &r) {
            std::lock_guard<std::mutex> lock(mutex);
            records.push_back(r);
        });
    }
    ~Capture() { mirelog::RemoveListener(id); }
    std::vector<mirelog::Record> Records()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return records;
    }
    int id;
    std::mutex mutex;
    std::vector<mirelog::Record> records;
};

void LogBoth()
{
    TESK_LOG_INFO("Clip search:searche type:%d, event_type:%d", 1, 2);
    TESK_LOG_ERROR("failed %s", "badly");
}

TEST(Log, LinesCarryPrefixTagAndLevel)
{
    Capture capture;
    LogBoth();
    const auto records = capture.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, 3);
    EXPECT_EQ(records[0].tag, "OrlClientInfo");
    EXPECT_EQ(records[0].text.rfind("[", 0), 0u);
    EXPECT_NE(records[0].text.find("LogBoth("), std::string::npos);
    EXPECT_NE(records[0].text.find(")] - Clip search:searche type:1, event_type:2"),
              std::string::npos);
    EXPECT_EQ(records[1].level, 5);
    EXPECT_EQ(records[1].tag, "OrlClientError");
    EXPECT_NE(records[1].text.find(")] [0x00000000] - failed badly"), std::string::npos);

    QFile file(QString::fromStdString(mirelog::LogFilePath()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("failed badly"));
}

TEST(Log, LongLinesAndManyThreads)
{
    Capture capture;
    const std::string long_text(5000, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i)
                TESK_LOG_INFO("%s", long_text.c_str());
        });
    for (auto &t : threads)
        t.join();
    const auto records = capture.Records();
    ASSERT_EQ(records.size(), 200u);
    for (const auto &r : records)
        EXPECT_NE(r.text.find(long_text), std::string::npos);
}

} // namespace
