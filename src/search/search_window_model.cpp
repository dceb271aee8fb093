#include "search/search_window_model.h"

namespace fwu {

SearchWindowModel::SearchWindowModel(EventLoop& loop, std::function<void()> formActivate,
                                     std::function<void()> timer1Timer)
    : Timer1(loop, kTimer1IntervalMs, std::move(timer1Timer)), formActivate_(std::move(formActivate)) {}

}  // namespace fwu
