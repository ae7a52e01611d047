// Patterns and masks that lead back to themselves through one another: the cycle is cut at the same
// reference wherever the content is drawn (the one that closes it, walking the definitions in document
// order), so each pattern and mask looks the same everywhere; a dropped paint takes its fallback colour.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/RenderProbe.h"

namespace plumwick {
namespace {

using namespace probe;

struct TCycleCase {
    const char* Name;
    const char* Content;  // inside a 40 × 40 document
    std::vector<TProbe> Probes;
};

// A: its top half filled with B, a green square at the bottom left.
// B: filled all over with A, a blue column on the right.
#define TWO_PATTERNS                                                                                                              \
    R"svg(<pattern id="A" width="40" height="40" patternUnits="userSpaceOnUse"><rect width="40" height="20" fill="url(#B)"/>)svg" \
    R"svg(<rect y="20" width="20" height="20" fill="green"/></pattern>)svg"                                                       \
    R"svg(<pattern id="B" width="40" height="40" patternUnits="userSpaceOnUse"><rect width="40" height="40" fill="url(#A)"/>)svg" \
    R"svg(<rect x="20" width="20" height="40" fill="blue"/></pattern>)svg"

// Masks that show the left half (a) and the top half (b) of what they mask.
#define MASK_REGION R"svg( maskUnits="userSpaceOnUse" x="0" y="0" width="40" height="40")svg"

const TCycleCase Cases[] = {
    // B's reference to A closes the cycle: B is its blue column alone, even drawn by itself.
    {"pattern_that_closes_the_cycle_loses_the_reference",
     TWO_PATTERNS R"svg(<rect width="40" height="40" fill="url(#B)"/>)svg",
     {{10, 30, Transparent}, {30, 10, Blue}, {10, 10, Transparent}}},
    {"pattern_that_opens_the_cycle_keeps_it",
     TWO_PATTERNS R"svg(<rect width="40" height="40" fill="url(#A)"/>)svg",
     {{30, 10, Blue}, {10, 30, Green}, {10, 10, Transparent}}},
    {"dropped_paint_takes_its_fallback_colour",
     R"svg(<pattern id="A" width="40" height="40" patternUnits="userSpaceOnUse"><rect width="20" height="40" fill="url(#B)"/></pattern>)svg"
     R"svg(<pattern id="B" width="40" height="40" patternUnits="userSpaceOnUse"><rect width="40" height="20" fill="url(#A) blue"/></pattern>)svg"
     R"svg(<rect width="40" height="40" fill="url(#B)"/>)svg",
     {{30, 10, Blue}, {10, 10, Blue}, {10, 30, Transparent}}},
    {"inherited_paint_that_closes_the_cycle",
     R"svg(<pattern id="A" width="40" height="40" patternUnits="userSpaceOnUse"><g fill="url(#A) blue"><rect width="20" height="20"/></g></pattern>)svg"
     R"svg(<rect width="40" height="40" fill="url(#A)"/>)svg",
     {{10, 10, Blue}, {30, 30, Transparent}}},
    // b's content masked by a closes the cycle: b shows the whole top half.
    {"mask_content_that_closes_the_cycle_is_unmasked",
     R"svg(<mask id="a")svg" MASK_REGION R"svg(><rect width="20" height="40" fill="white" mask="url(#b)"/></mask>)svg"
     R"svg(<mask id="b")svg" MASK_REGION R"svg(><rect width="40" height="20" fill="white" mask="url(#a)"/></mask>)svg"
     R"svg(<rect width="40" height="40" fill="red" mask="url(#b)"/>)svg",
     {{30, 10, Red}, {10, 10, Red}, {10, 30, Transparent}}},
    {"mask_on_a_mask_that_closes_the_cycle_is_dropped",
     R"svg(<mask id="a" mask="url(#b)")svg" MASK_REGION R"svg(><rect width="20" height="40" fill="white"/></mask>)svg"
     R"svg(<mask id="b" mask="url(#a)")svg" MASK_REGION R"svg(><rect width="40" height="20" fill="white"/></mask>)svg"
     R"svg(<rect width="40" height="40" fill="red" mask="url(#b)"/>)svg",
     {{30, 10, Red}, {10, 10, Red}, {10, 30, Transparent}}},
    {"mask_that_opens_the_cycle_keeps_its_mask",
     R"svg(<mask id="a" mask="url(#b)")svg" MASK_REGION R"svg(><rect width="20" height="40" fill="white"/></mask>)svg"
     R"svg(<mask id="b" mask="url(#a)")svg" MASK_REGION R"svg(><rect width="40" height="20" fill="white"/></mask>)svg"
     R"svg(<rect width="40" height="40" fill="red" mask="url(#a)"/>)svg",
     {{10, 10, Red}, {30, 10, Transparent}, {10, 30, Transparent}}},
};

class ReferenceCycle : public ::testing::TestWithParam<TCycleCase> {};

TEST_P(ReferenceCycle, IsCutAtTheSameReferenceEverywhere)
{
    ExpectProbes(RenderContent(GetParam().Content, 40, 40), GetParam().Probes);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReferenceCycle, ::testing::ValuesIn(Cases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace plumwick
