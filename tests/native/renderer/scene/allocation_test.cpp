// Counts heap allocations while the scene runs: a frame must allocate nothing.
// The replaced operators count only while a test has armed the counter, so other tests are unaffected.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "renderer/scene/scene_test_support.h"

namespace {
std::atomic<bool> countingArmed{false};
std::atomic<long> allocationCount{0};

// Allocates with malloc, counting the call while armed.
void* countedAllocate(std::size_t size) {
    if (countingArmed.load(std::memory_order_relaxed)) allocationCount.fetch_add(1, std::memory_order_relaxed);
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

// Counts the allocations made by body.
template <typename Body>
long allocationsDuring(Body body) {
    allocationCount = 0;
    countingArmed = true;
    body();
    countingArmed = false;
    return allocationCount.load();
}
}  // namespace

void* operator new(std::size_t size) { return countedAllocate(size); }
void* operator new[](std::size_t size) { return countedAllocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

TEST(NoAllocationPerFrame, AThousandFullFramesAllocateNothing) {
    // The counter does see allocations: a scene's creation makes its three arrays.
    Scene scene;
    seedScene(scene, 2024);
    EXPECT_EQ(allocationsDuring([&] { createSceneObjects(scene); }), 3);

    // From the first release until long after all 1000 particles are in play, with some long frames.
    EXPECT_EQ(allocationsDuring([&] {
                  for (int frame = 0; frame < 1000; ++frame) advanceScene(scene, frame % 10 == 0 ? 1.0f : 0.1f);
              }),
              0);
    EXPECT_EQ(scene.liveParticleCount, 1000);
}
