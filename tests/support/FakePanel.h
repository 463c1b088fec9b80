#pragma once

#include "app/SharedManagers.h"

namespace larkspur::test {

// Stands in for the floating panel and counts what was asked of it.
struct FakePanel : PanelHost {
    bool visible = false;
    int shows = 0, hides = 0;
    bool isPanelVisible() const override { return visible; }
    void showPanel() override { visible = true, ++shows; }
    void hidePanel() override { visible = false, ++hides; }
};

}  // namespace larkspur::test
