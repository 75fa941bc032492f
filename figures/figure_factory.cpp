#include "figures/figure_factory.h"

#include "figures/animator_group.h"
#include "figures/figure_build.h"
#include "figures/random_picker.h"

namespace {

// The group code under which the figures of an id are started; 0 for an id
// that has no figures.
int groupCodeOf(int id) {
    switch (id) {
        case 100:
        case 500:
        case 1000: return 1;
        case 200: return 2;
        case 300: return 3;
        case 400: return 4;
        case 600: return 7;
        case 700: return 8;
        case 800: return 6;
        case 900:
        case 1100: return 10;
        case 1200: return 13;
        case 1300: return 14;
        case 1400: return 15;
        case 10000: return 16;
        default: return 0;
    }
}

}  // namespace

FigureFactory::FigureFactory(FigureParts& parts, FigureRegistry& registry) : parts_(parts), registry_(registry) {}

std::unique_ptr<FigureGroup> FigureFactory::create(int id) {
    FigureBuild build(parts_);
    std::unique_ptr<FigureGenerator>& generator = generators_[id];
    if (!generator) generator = makeFigureGenerator(id);
    if (generator) registry_.add(groupCodeOf(id), id, generator->build(build));
    std::unique_ptr<FigureGroup> root = build.takeRoot();
    root->setId(id);
    return root;
}
