#include "module/TallyView.h"

#include <gtest/gtest.h>

namespace
{

TEST(TallyView, FocusHandsItsReasonToTheBase)
{
    TallyView view;
    view.Focus(3);
    view.Focus(-2);
    EXPECT_EQ(view.m_nFocusCount, 2);
    EXPECT_EQ(view.m_nLastFocusReason, -2);
}

} // namespace
