#include "services/PostMessage.h"

#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
// Stands in for the main window and keeps what is posted to it.
class CReceiver : public QObject {
public:
    std::vector<std::vector<long long>> received;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != CPostedMessageEvent::EventType())
            return QObject::event(event);
        const auto* posted = static_cast<CPostedMessageEvent*>(event);
        received.push_back({posted->Message(), posted->WParam(), posted->LParam()});
        return true;
    }
};

TEST(PostMessageTest, MessageArrivesLaterInOrder)
{
    CReceiver window;
    SetMainWindow(&window);
    EXPECT_EQ(GetMainWindow(), &window);
    EXPECT_TRUE(PostMessageToMainWindow(WM_USER, 2, 4));
    EXPECT_TRUE(PostMessageToMainWindow(WM_USER, 3, 0xFFFF));
    EXPECT_TRUE(window.received.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.received, (std::vector<std::vector<long long>>{{0x400, 2, 4}, {0x400, 3, 0xFFFF}}));
    SetMainWindow(nullptr);
}

TEST(PostMessageTest, NothingIsPostedWithoutAMainWindow)
{
    SetMainWindow(nullptr);
    EXPECT_FALSE(PostMessageToMainWindow(WM_USER, 1, 0));

    auto window = std::make_unique<CReceiver>();
    SetMainWindow(window.get());
    window.reset();  // a destroyed main window is no longer a receiver
    EXPECT_EQ(GetMainWindow(), nullptr);
    EXPECT_FALSE(PostMessageToMainWindow(WM_USER, 1, 0));
    QCoreApplication::processEvents();
}
}  // namespace
