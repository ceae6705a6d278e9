#include <weeapp/ui/views/child_hit_index.h>
#include <weeapp/ui/views/scroll_view.h>
#include <weeapp/ui/views/view.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace weeapp::ui;

// What a hit test among many children must find: the topmost child whose own hit test takes
// the point, else the parent. Coordinates in these tests are multiples of a half, so that both
// ways of converting the point are exact.
View* askingEveryChild(View& parent, Point point)
{
    const auto& children = parent.subviews();
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        if (View* hit = (*child)->hitTest((*child)->convertPointFromView(point, &parent), nullptr))
            return hit;
    }
    return &parent;
}

float halves(std::mt19937& random, int from, int to)
{
    return static_cast<float>(std::uniform_int_distribution(from * 2, to * 2)(random)) / 2;
}

Rect randomFrame(std::mt19937& random)
{
    return { halves(random, -50, 500), halves(random, -50, 300), halves(random, -20, 80), halves(random, -20, 80) };
}

void expectSameHits(View& parent, std::mt19937& random, const char* when)
{
    for (int i = 0; i < 3000; ++i) {
        const Point point { halves(random, -80, 620), halves(random, -80, 420) };
        ASSERT_EQ(parent.hitTest(point, nullptr), askingEveryChild(parent, point)) << when << " at " << point.x << ", " << point.y;
    }
}

// Overlapping children of every shape, hidden and faded ones, and scrolled ones whose bounds
// origin moves: a parent with many children finds what asking each child in turn finds, before
// and after children move, scroll, go and come.
TEST(ChildHitIndex, FindsWhatAskingEveryChildFinds)
{
    std::mt19937 random(7);
    // Scrolled back, so that its bounds hold the children's negative coordinates.
    auto parent = ScrollView::create({ 0, 0, 800, 600 });
    parent->setContentOffset({ -100, -100 });
    std::vector<std::shared_ptr<ScrollView>> scrolled;
    for (int i = 0; i < 300; ++i) {
        if (i % 25 == 0) {
            auto scroll = ScrollView::create(randomFrame(random));
            scroll->addSubview(View::create({ 0, 0, 40, 40 }));
            scroll->setContentOffset({ 10, 5 });
            scrolled.push_back(scroll);
            parent->addSubview(scroll);
            continue;
        }
        auto child = View::create(randomFrame(random));
        child->setHidden(i % 17 == 0);
        child->setAlpha(i % 19 == 0 ? 0.0f : 1.0f);
        child->addSubview(View::create({ 2, 2, 10, 10 }));
        parent->addSubview(child);
    }
    expectSameHits(*parent, random, "first");

    const auto children = parent->subviews();
    for (std::size_t i = 0; i < children.size(); i += 7)
        children[i]->setFrame(randomFrame(random));
    expectSameHits(*parent, random, "after moves");

    for (const auto& scroll : scrolled)
        scroll->setContentOffset({ -20, 30 });
    children[3]->setHidden(true);
    children[4]->setUserInteractionEnabled(false);
    expectSameHits(*parent, random, "after scrolling and hiding");

    for (std::size_t i = 0; i < children.size(); i += 3)
        children[i]->removeFromSuperview();
    parent->removeSubviewsIf([](const View& child) { return child.frame().width() < 0; });
    for (int i = 0; i < 40; ++i)
        parent->addSubview(View::create(randomFrame(random)));
    expectSameHits(*parent, random, "after removals and additions");
}

// A strip of a thousand tiles, as the widget lays them out: every tile is found at its middle
// and its edges, a point between two tiles finds the parent, and a tile moved away is no longer
// found where it was.
TEST(ChildHitIndex, FindsEveryTileOfALongStrip)
{
    auto strip = View::create({ 0, 0, 80000, 100 });
    for (int i = 0; i < 1000; ++i)
        strip->addSubview(View::create({ 80.0f * static_cast<float>(i) + 10, 10, 60, 60 }));
    const auto& tiles = strip->subviews();
    for (int i = 0; i < 1000; i += 37) {
        const float left = 80.0f * static_cast<float>(i) + 10;
        EXPECT_EQ(strip->hitTest({ left + 30, 40 }, nullptr), tiles[i].get());
        EXPECT_EQ(strip->hitTest({ left, 10 }, nullptr), tiles[i].get());
        EXPECT_EQ(strip->hitTest({ std::nextafter(left + 60, 0.0f), 69.5f }, nullptr), tiles[i].get());
        EXPECT_EQ(strip->hitTest({ left + 60, 40 }, nullptr), strip.get()); // the right edge is outside
        EXPECT_EQ(strip->hitTest({ left - 5, 40 }, nullptr), strip.get());
    }
    const View* moved = tiles[500].get();
    tiles[500]->setFrame({ 5, 75, 20, 20 });
    EXPECT_EQ(strip->hitTest({ 80.0f * 500 + 40, 40 }, nullptr), strip.get());
    EXPECT_EQ(strip->hitTest({ 10, 80 }, nullptr), moved);

    // Scrolled far, a tile's own test rounds its edges by more than a little: the strip asks it
    // as it would among few children.
    auto scrolled = ScrollView::create({ 30000, 80, 200, 10 });
    strip->addSubview(scrolled);
    const Point justLeft { 29990, 85 };
    EXPECT_EQ(strip->hitTest(justLeft, nullptr), askingEveryChild(*strip, justLeft));
    scrolled->setContentOffset({ 1e9f, 0 });
    EXPECT_EQ(strip->hitTest(justLeft, nullptr), scrolled.get());
}

// Takes hits on a margin of 20 around its bounds.
class WideTarget final : public View {
public:
    static std::shared_ptr<WideTarget> create(Rect frame) { return make<WideTarget>(frame); }
    bool pointInside(Point point, const Event*) const override
    {
        const Rect area = bounds();
        return point.x >= area.x() - 20 && point.x < area.maxX() + 20 && point.y >= area.y() - 20 && point.y < area.maxY() + 20;
    }
    bool takesHitsOutsideBounds() const override { return true; }

private:
    friend class View;
    explicit WideTarget(Rect frame)
        : View(frame) { }
};

// A child whose hit area is wider than its bounds, and one whose frame is not finite, are asked
// wherever the point is, as they are among few children.
TEST(ChildHitIndex, AsksChildrenItCannotBoundEverywhere)
{
    auto parent = View::create({ 0, 0, 4000, 200 });
    for (int i = 0; i < 50; ++i)
        parent->addSubview(View::create({ 60.0f * static_cast<float>(i), 0, 50, 50 }));
    auto wide = WideTarget::create({ 100, 100, 10, 10 });
    parent->addSubview(wide);
    auto endless = View::create({ 0, 150, INFINITY, 10 });
    parent->addSubview(endless);
    auto unknown = View::create({ NAN, 0, 10, 10 });
    parent->addSubview(unknown);

    EXPECT_EQ(parent->hitTest({ 85, 85 }, nullptr), wide.get());
    EXPECT_EQ(parent->hitTest({ 125, 125 }, nullptr), wide.get());
    EXPECT_EQ(parent->hitTest({ 131, 131 }, nullptr), parent.get());
    for (const Point point : { Point { 85, 85 }, Point { 131, 131 }, Point { 3000, 155 }, Point { 10, 10 }, Point { 25, 160 } })
        EXPECT_EQ(parent->hitTest(point, nullptr), askingEveryChild(*parent, point)) << point.x << ", " << point.y;
    EXPECT_EQ(parent->hitTest({ NAN, 10 }, nullptr), nullptr);
}

// The candidates come topmost first, and a point far from every child gives none.
TEST(ChildHitIndex, NamesCandidatesTopmostFirst)
{
    std::vector<ViewPtr> children;
    for (int i = 0; i < 40; ++i)
        children.push_back(View::create({ 0, 0, 100, 100 }));
    children.push_back(View::create({ 500, 500, 10, 10 }));
    const ChildHitIndex index(children);
    std::vector<std::size_t> candidates;
    index.candidatesAt({ 50, 50 }, candidates);
    ASSERT_EQ(candidates.size(), 40u);
    EXPECT_EQ(candidates.front(), 39u);
    EXPECT_EQ(candidates.back(), 0u);
    index.candidatesAt({ 300, 300 }, candidates);
    EXPECT_TRUE(candidates.empty());
    index.candidatesAt({ 505, 505 }, candidates);
    EXPECT_EQ(candidates, std::vector<std::size_t> { 40 });
}

}
