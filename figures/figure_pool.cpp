#include "figures/figure_pool.h"

#include "figures/figure_factory.h"

namespace {

struct PoolShare {
    int id;
    int count;
};

constexpr PoolShare kPoolOrder[] = {
    {100, 30}, {200, 100}, {300, 30}, {400, 100}, {500, 30},  {600, 30}, {700, 30},
    {800, 30}, {900, 80},  {1000, 30}, {1100, 60}, {1200, 30}, {1300, 30}, {1400, 30},
};
constexpr int kGreyClusterId = 10000;
constexpr int kGreyClusters = 80;
constexpr int kGreyClustersHighBudget = 320;

}  // namespace

FigurePool::FigurePool(bool highBudget) {
    FigureFactory factory(parts_, registry_);
    auto build = [&](int id, int count) {
        for (int i = 0; i < count; ++i) roots_.push_back(factory.create(id));
    };
    for (const PoolShare& share : kPoolOrder) build(share.id, share.count);
    build(kGreyClusterId, highBudget ? kGreyClustersHighBudget : kGreyClusters);
    figures_.reserve(roots_.size());
    for (const auto& root : roots_) figures_.push_back(root.get());
}
