// The computer's orders through the real map view: the executor over the
// view's own order operations.
#include <gtest/gtest.h>

#include <memory>

#include "battle/cpu/CpuActionExecutor.h"
#include "battle/view/ViewCpuOrders.h"
#include "view/OrderFixture.h"

namespace viewtest {
namespace {

using namespace zrv;

class ViewCpuOrdersTest : public OrderTest {
protected:
    void SetUp() override
    {
        OrderTest::SetUp();
        orders = std::make_unique<ViewCpuOrders>(*view);
        executor = std::make_unique<CpuActionExecutor>(*doc, *orders);
        doc->SetOrderExecutor(executor.get());
    }
    void TearDown() override
    {
        doc->SetOrderExecutor(nullptr);
        OrderTest::TearDown();
    }
    std::unique_ptr<ViewCpuOrders> orders;
    std::unique_ptr<CpuActionExecutor> executor;
};

TEST_F(ViewCpuOrdersTest, OrdersRunTheViewsOperationsAndEndTheSelection)
{
    // The dive: the view's sound, then the selection ended in command mode 0.
    view->m_nCmdMode = 4;
    EXPECT_EQ(doc->ExecuteCpuAction(kCpuActDive, *own, 0), 0);
    EXPECT_EQ(sounds->effects, (std::vector<int>{31}));
    EXPECT_EQ(view->m_pSelUnit, nullptr);
    EXPECT_EQ(view->m_nCmdMode, 0);
    // The end of the unit's action marks it acted.
    EXPECT_EQ(doc->ExecuteCpuAction(kCpuActEndAction, *own, 0), 0);
    EXPECT_TRUE(own->dwFlag & kUnitActed);
    // Disposal of the first kind takes the unit out of play and answers 1.
    EXPECT_EQ(doc->ExecuteCpuAction(kCpuActDispose, *own, 0), 1);
    EXPECT_FALSE(own->dwFlag & kUnitInUse);
    // The viewing side is the viewing country's.
    EXPECT_EQ(orders->GetViewingSide(), 0);
}

}  // namespace
}  // namespace viewtest
