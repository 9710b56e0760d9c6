// Evaluation allocates nothing: once the buffers have grown to what the
// records need, evaluating an expression with every kind of word again and
// again makes no allocation. The test binary's operator new counts while a
// test asks it to.
#include "ExprTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

}  // namespace

void* operator new(std::size_t size) {
    if (gCounting) ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

// The replacement pairs malloc with free on purpose; GCC cannot see that new is replaced too.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

TEST(ExprAllocation, EvaluationAllocatesNothing) {
    TTestParser parser;
    parser.CompileExpression(
        "UPPER(SUBSTR(NAME, 2, 3)) + STR(X, 12, 4) + STR(A, 5, 2) + DTOS(D1) + DTOC(D2) + TRIM(NAME) + "
        "IIF(NAME = 'M*' .AND. 'll' $ NAME .AND. NAME > 'A', 'j', 'n') + STR(BIG / 3 * X + A - B, 20, 3) + "
        "LOWER(LEFT(NAME, 2) + RIGHT(NAME, 2)) + STR(VAL('12.5') + YEAR(CTOD('01/02/2024')))");
    parser.EvaluateCurrent();  // grows the buffers once
    const std::string first = RenderResult(parser.ExpResult(), parser.GetResultType());
    gAllocations = 0;
    gCounting = true;
    for (int i = 0; i < 1000; ++i) {
        parser.FloatX = i * 0.25;
        parser.EvaluateCurrent();
    }
    gCounting = false;
    EXPECT_EQ(gAllocations, 0);
    EXPECT_NE(first, RenderResult(parser.ExpResult(), parser.GetResultType()));
}

}  // namespace
